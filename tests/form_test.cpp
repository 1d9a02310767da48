// Whole sessions played against the form through a scripted window: what the
// user types and clicks, and what the window shows after each step.
#include "app/notes.h"
#include "levels/entry_check.h"
#include "levels/number.h"
#include "scripted_window.h"
#include "sessions.h"
#include "test_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using kestrand::WindowState;
using kestrand::testing::Bands;
using kestrand::testing::Focus;
using kestrand::testing::kTitle;
using kestrand::testing::ScriptedWindow;
using kestrand::testing::SessionRow;
using levels::MessageIcon;
using levels::Refusal;

const Bands& kReset = kestrand::testing::kResetBands;

// The refusal the rules word for this entry, quoting it as the form must.
levels::Message refusalOf(Refusal refusal, const std::string& entry,
                          std::string_view separator = ".") {
    return levels::refusalMessage(refusal, entry, levels::readTotal(entry), separator);
}

TEST(Start, ShowsZerosWithTheFocusInTheEntry) {
    ScriptedWindow w;
    EXPECT_EQ(w.form().savedCaption(), kTitle);
    w.show();
    EXPECT_EQ(w.windowTitle(), kTitle);
    EXPECT_EQ(w.entry(), "0");
    EXPECT_EQ(w.bands(), kReset);
    EXPECT_EQ(w.focus(), Focus::Entry);
    EXPECT_TRUE(w.messages().empty());
}

TEST(Typing, RefusedCharactersShowInputErrorAndAreDropped) {
    for (const char c : std::string("a -.,\x16\x03\x18\x1b\t")) {
        ScriptedWindow w;
        w.show().paste("12").type(std::string(1, c));
        ASSERT_EQ(w.messages().size(), 1U) << int(c);
        EXPECT_EQ(w.messages()[0], levels::keystrokeRefusal()) << int(c);
        EXPECT_EQ(w.entry(), "12") << int(c);
    }
}

TEST(Typing, DigitsAndBackspacePassSilently) {
    ScriptedWindow w;
    w.show().type("200\b\b5");
    EXPECT_EQ(w.entry(), "025");
    EXPECT_TRUE(w.messages().empty());
}

class Calculate : public testing::TestWithParam<std::tuple<SessionRow, bool>> {};

TEST_P(Calculate, ShowsBandsOrOneRefusal) {
    const auto& [row, byEnter] = GetParam();
    ScriptedWindow w;
    w.show().paste(row.entry);
    if (byEnter) {
        w.pressEnter();
    } else {
        w.click(Focus::Calculate);
    }
    EXPECT_EQ(w.bands(), row.bands);
    if (!row.refusal) {
        EXPECT_TRUE(w.messages().empty());
        EXPECT_EQ(w.entry(), row.entry);
        EXPECT_EQ(w.focus(), Focus::Exit);
        // Once, with the bands in place and the focus not yet moved on.
        ASSERT_EQ(w.announcements().size(), 1U);
        EXPECT_EQ(w.announcements()[0].first, kestrand::spokenResults(row.bands));
        EXPECT_NE(w.announcements()[0].second, Focus::Exit);
        return;
    }
    // A screen reader hears the refusal's box, not also the four zeros.
    EXPECT_TRUE(w.announcements().empty());
    ASSERT_EQ(w.messages().size(), 1U);
    EXPECT_EQ(w.messages()[0], refusalOf(*row.refusal, row.entry));
    EXPECT_EQ(w.entry(), "0");
    EXPECT_EQ(w.focus(), Focus::Entry);
    // The reset is the only thing written to the bands: no half-written display.
    EXPECT_TRUE(std::all_of(w.bandWrites().begin(), w.bandWrites().end(),
                            [](const std::string& s) { return s == "0"; }));
}

constexpr Refusal kZero = Refusal::Zero;
constexpr Refusal kHigh = Refusal::TooHigh;
constexpr Refusal kLow = Refusal::TooLow;

INSTANTIATE_TEST_SUITE_P(
    Sessions, Calculate,
    testing::Combine(
        testing::ValuesIn(kestrand::testing::kSessions),
        testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) ? "_Enter" : "_Click");
    });

TEST(Calculate, HundredsOfPastedDigitsAreTooHigh) {
    const std::string digits(400, '9');
    ScriptedWindow w;
    w.show().paste(digits).click(Focus::Calculate);
    ASSERT_EQ(w.messages().size(), 1U);
    EXPECT_EQ(w.messages()[0], refusalOf(Refusal::TooHigh, digits));
    EXPECT_EQ(w.entry(), "0");
}

TEST(Calculate, TooLowQuotesWithTheLocaleSeparator) {
    ScriptedWindow w;
    w.setSeparator(",");
    w.show().paste("7.5").calculate();
    ASSERT_EQ(w.messages().size(), 1U);
    EXPECT_EQ(w.messages()[0], refusalOf(Refusal::TooLow, "7.5", ","));
}

TEST(Calculate, ARefusalClearsEarlierBands) {
    ScriptedWindow w;
    w.show().type("200").calculate();
    ASSERT_EQ(w.bands()[3], " 121+");
    ASSERT_EQ(w.focus(), Focus::Exit);
    // From Exit no check runs before the click; the calculation runs its own.
    w.paste("5").click(Focus::Calculate);
    EXPECT_EQ(w.bands(), kReset);
    EXPECT_EQ(w.focus(), Focus::Entry);
}

TEST(Calculate, AgainWritesTheSameTexts) {
    ScriptedWindow w;
    w.show().paste("200").calculate();
    const Bands first = w.bands();
    ASSERT_EQ(first[3], " 121+");
    w.click(Focus::Calculate);
    EXPECT_EQ(w.bands(), first);
    EXPECT_TRUE(w.messages().empty());
}

TEST(Calculate, ByClickChecksOnceBeforeTheFocusMovesAndOnceInside) {
    // Both checks pass silently; a refusal shows once because the first
    // keeps the focus and drops the click.
    ScriptedWindow w;
    w.show().paste("5").click(Focus::Calculate);
    EXPECT_EQ(w.messages().size(), 1U);
    w.click(Focus::Calculate);
    ASSERT_EQ(w.messages().size(), 2U);
    EXPECT_EQ(w.messages()[1], refusalOf(kZero, "0"));
}

TEST(Focus, TabCyclesEntryExitCalculate) {
    ScriptedWindow w;
    w.show().paste("200");
    w.tab();
    EXPECT_EQ(w.focus(), Focus::Exit);
    w.tab();
    EXPECT_EQ(w.focus(), Focus::Calculate);
    w.tab();
    EXPECT_EQ(w.focus(), Focus::Entry);
    w.tab(false);
    EXPECT_EQ(w.focus(), Focus::Calculate);
    EXPECT_TRUE(w.messages().empty());
}

TEST(Focus, TabToCalculateRunsTheCheckButTabToExitDoesNot) {
    ScriptedWindow w;
    w.show().tabOnceTo(Focus::Calculate); // with "0" in the entry
    EXPECT_EQ(w.focus(), Focus::Entry);
    ASSERT_EQ(w.messages().size(), 1U);
    EXPECT_EQ(w.messages()[0], refusalOf(kZero, "0"));
    w.tabOnceTo(Focus::Exit);
    EXPECT_EQ(w.focus(), Focus::Exit);
    EXPECT_EQ(w.messages().size(), 1U);
}

TEST(Focus, EnterOnAFocusedButtonActivatesIt) {
    ScriptedWindow w;
    w.show().paste("200").tabOnceTo(Focus::Calculate).pressEnter();
    EXPECT_EQ(w.bands()[1], " 41-80");
    EXPECT_EQ(w.focus(), Focus::Exit);
    w.pressEnter();
    EXPECT_TRUE(w.ended());
}

TEST(Exit, EndsWithoutAnyCheck) {
    ScriptedWindow w;
    w.show().paste("5").click(Focus::Exit);
    EXPECT_TRUE(w.ended());
    EXPECT_TRUE(w.messages().empty());
}

TEST(Notes, ShowsTheNotesOnlyForATotalThatPasses) {
    ScriptedWindow w;
    w.show().click(Focus::Notes);
    ASSERT_EQ(w.messages().size(), 1U);
    EXPECT_EQ(w.messages()[0], refusalOf(kZero, "0"));
    EXPECT_EQ(w.focus(), Focus::Entry);

    w.forgetMessages();
    w.paste("5").click(Focus::Notes);
    ASSERT_EQ(w.messages().size(), 1U);
    EXPECT_EQ(w.messages()[0], refusalOf(kLow, "5"));

    w.forgetMessages();
    w.paste("200").click(Focus::Notes).click(Focus::Notes);
    ASSERT_EQ(w.messages().size(), 2U);
    EXPECT_EQ(w.messages()[0], kestrand::notesMessage());
    EXPECT_EQ(w.messages()[1], kestrand::notesMessage());
    EXPECT_EQ(w.entry(), "200");
    EXPECT_EQ(w.bands(), kReset);
    EXPECT_EQ(w.windowTitle(), kTitle);
}

TEST(Notes, F1ShowsThemWithoutACheckWhereverTheFocusIs) {
    ScriptedWindow atStart; // "0" in the entry, which Notes by click would refuse
    atStart.show().pressF1();
    ScriptedWindow afterResults;
    afterResults.show().type("200").calculate().pressF1();
    for (const ScriptedWindow* w : {&atStart, &afterResults}) {
        ASSERT_EQ(w->messages().size(), 1U);
        EXPECT_EQ(w->messages()[0], kestrand::notesMessage());
    }
    EXPECT_EQ(atStart.entry(), "0");
    EXPECT_EQ(atStart.focus(), Focus::Entry);
    EXPECT_EQ(afterResults.bands()[3], " 121+");
    EXPECT_EQ(afterResults.focus(), Focus::Exit);
}

TEST(Notes, TextIsTwentyLinesExactly) {
    const levels::Message notes = kestrand::notesMessage();
    EXPECT_EQ(notes.title, "FEXO- Scenario Kestrand (Notes)");
    EXPECT_EQ(notes.icon, MessageIcon::Information);

    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = notes.text.find("\r\n", start)) != std::string::npos;
         start = at + 2) {
        lines.push_back(notes.text.substr(start, at - start));
    }
    lines.push_back(notes.text.substr(start));
    ASSERT_EQ(lines.size(), 20U);
    // No stray CR or LF outside the 19 pairs.
    EXPECT_EQ(std::count(notes.text.begin(), notes.text.end(), '\r'), 19);
    EXPECT_EQ(std::count(notes.text.begin(), notes.text.end(), '\n'), 19);
    for (const std::size_t empty : {4U, 7U, 11U, 15U, 18U}) {
        EXPECT_EQ(lines[empty - 1], "") << "line " << empty;
    }
    for (const std::string& line : lines) {
        EXPECT_TRUE(line.empty() || (line.front() != ' ' && line.back() != ' ')) << line;
    }
    // The exact wording, once.
    const std::vector<std::string> expected{
        "(1) Raw loss penalties are scaled to be equal to total objective values",
        "and can be modified by use of force loss intolerance levels to increase",
        "or decrease the effects of losses on victory determination.",
        "",
        "Total loss of both forces will result in raw loss penalties for all units,",
        "pro rata per side, exactly equal to the value of all objectives on the map.",
        "",
        "(e.g. If there are 100 VP Objective Points in total and each force is identical,",
        "total losses for each side would equal 50 Loss Points for a combined",
        "Total Loss Value of 100).",
        "",
        "(2) If you minimize the KRD, the caption on the Task Bar will indicate",
        "the Victory Levels. This way, you can have a game open in a",
        "full window without having to switch applications.",
        "",
        "(3) Tested with FEXO 1.06- should work with other WUNA Versions,",
        "though no guarantees!",
        "",
        "(4) This is Version 1.4. If you find any scenarios that produce errors here,",
        "or have any Questions or Suggestions, please contact kestrand@kestrand.org.",
    };
    EXPECT_EQ(lines, expected);
}

TEST(SpokenResults, EachBandWithItsCaptionFromDrawUp) {
    EXPECT_EQ(kestrand::spokenResults({"0-40", " 41-80", " 81-120", " 121+"}),
              "Draw (+/-): 0-40. Marginal Victory (+/-): 41-80. "
              "Significant Victory: (+/-): 81-120. Overwhelming Victory (+/-): 121+.");
}

// Minimize and restore through a played session.
TEST(MinimizedTitle, FollowsTheBandsThroughASession) {
    ScriptedWindow w;
    w.show().setState(WindowState::Minimized);
    EXPECT_EQ(w.windowTitle(), kTitle) << "before any calculation";
    w.setState(WindowState::Normal).paste("200").click(Focus::Calculate);
    w.setState(WindowState::Minimized);
    EXPECT_EQ(w.windowTitle(), "KRD: MV=41, SV=81, OV=121");
    w.setState(WindowState::Normal);
    EXPECT_EQ(w.windowTitle(), kTitle);
    w.setState(WindowState::Maximized);
    EXPECT_EQ(w.windowTitle(), kTitle);
    w.setState(WindowState::Normal).paste("5").click(Focus::Calculate);
    w.setState(WindowState::Minimized);
    EXPECT_EQ(w.windowTitle(), kTitle) << "after a refusal reset the bands";
}

struct TitleRow {
    const char* name;
    const char* entry;
    const char* title;
};

class MinimizedTitle : public testing::TestWithParam<TitleRow> {};

TEST_P(MinimizedTitle, SummarisesTheThresholds) {
    ScriptedWindow w;
    w.show().paste(GetParam().entry).calculate().setState(WindowState::Minimized);
    EXPECT_EQ(w.windowTitle(), GetParam().title);
    w.setState(WindowState::Normal);
    EXPECT_EQ(w.windowTitle(), kTitle);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MinimizedTitle,
    testing::Values(TitleRow{"Ten", "10", "KRD: MV=3, SV=5, OV=7"},
                    TitleRow{"Top", "19999", "KRD: MV=4001, SV=8001, OV=12000"},
                    TitleRow{"PastedNegative", "-50", "KRD: MV=, SV=, OV=-29"},
                    TitleRow{"PastedFraction", "12.5", "KRD: MV=4, SV=6, OV=8"}),
    [](const testing::TestParamInfo<TitleRow>& info) { return std::string(info.param.name); });

} // namespace
