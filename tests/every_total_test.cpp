// Every whole total from -100000 to 100000 pasted and calculated through the form, against
// bands worked out here in integers from their definition. Fractions are left to the tables.
#include "levels/entry_check.h"
#include "scripted_window.h"
#include "test_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

using kestrand::WindowState;
using kestrand::testing::Bands;
using kestrand::testing::Focus;
using kestrand::testing::ScriptedWindow;
using levels::Refusal;

struct Expected final {
    Bands bands = kestrand::testing::kResetBands;
    std::string title{kestrand::testing::kTitle}; // when minimized
    std::optional<Refusal> refusal;
};

long floorDiv(long a, long b) {
    return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

// R(fifths / 5): a whole number of fifths is never halfway between two whole
// numbers, so rounding half to even never meets a tie here.
long roundFifths(long fifths) {
    const long down = floorDiv(fifths, 5);
    return fifths - down * 5 >= 3 ? down + 1 : down;
}

std::string lowerText(long lower) {
    return (lower < 0 ? "" : " ") + std::to_string(lower);
}

// The sign of a negative lower bound is where the summary cuts, leaving nothing.
std::string threshold(long lower) {
    return lower < 0 ? "" : std::to_string(lower);
}

Expected expectedFor(long vp) {
    if (vp == 0) {
        return {.refusal = Refusal::Zero};
    }
    if (vp > 19999) {
        return {.refusal = Refusal::TooHigh};
    }
    if (vp > 0 && vp < 10) {
        return {.refusal = Refusal::TooLow};
    }
    // Un = R(VP x k/5) and Ln = R(VP x k/5 + 1), k = 1, 2, 3.
    std::array<long, 3> upper{};
    std::array<long, 3> lower{};
    for (long k = 1; k <= 3; ++k) {
        upper[k - 1] = roundFifths(vp * k);
        lower[k - 1] = roundFifths(vp * k + 5);
        if (lower[k - 1] < std::numeric_limits<std::int16_t>::min() ||
            lower[k - 1] > std::numeric_limits<std::int16_t>::max()) {
            return {.refusal = Refusal::TooLow};
        }
    }
    return {.bands = {"0-" + std::to_string(upper[0]),
                      lowerText(lower[0]) + "-" + std::to_string(upper[1]),
                      lowerText(lower[1]) + "-" + std::to_string(upper[2]),
                      lowerText(lower[2]) + "+"},
            .title = "KRD: MV=" + threshold(lower[0]) + ", SV=" + threshold(lower[1]) +
                     ", OV=" + std::to_string(lower[2])};
}

TEST(EveryWholeTotal, PastedAndCalculatedMatchesTheDefinition) {
    long calculated = 0;
    for (long vp = -100000; vp <= 100000; ++vp) {
        const Expected want = expectedFor(vp);
        const std::string entry = std::to_string(vp);
        ScriptedWindow w;
        w.show().paste(entry).click(Focus::Calculate);
        ASSERT_EQ(w.bands(), want.bands) << vp;
        if (want.refusal) {
            ASSERT_EQ(w.messages().size(), 1U) << vp;
            ASSERT_EQ(w.messages()[0],
                      levels::refusalMessage(*want.refusal, entry, static_cast<double>(vp), "."))
                << vp;
            ASSERT_EQ(w.entry(), "0") << vp;
            ASSERT_EQ(w.focus(), Focus::Entry) << vp;
        } else {
            ASSERT_TRUE(w.messages().empty()) << vp;
            ASSERT_EQ(w.entry(), entry) << vp;
            ASSERT_EQ(w.focus(), Focus::Exit) << vp;
            ++calculated;
        }
        w.setState(WindowState::Minimized);
        ASSERT_EQ(w.windowTitle(), want.title) << vp;
    }
    // Calculated exactly from -54615 to -1 and from 10 to 19999.
    EXPECT_EQ(calculated, 54615 + 19990);
}

} // namespace
