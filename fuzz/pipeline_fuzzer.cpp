// Any bytes as a pasted entry, through all a paste reaches: the reading, the range check and its
// messages, Calculate by Enter and by click, and the minimized title. Not the Qt window.
#include "levels/bands.h"
#include "levels/entry_check.h"
#include "levels/number.h"
#include "scripted_window.h"
#include "test_texts.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

using kestrand::WindowState;
using kestrand::testing::Focus;
using kestrand::testing::ScriptedWindow;

constexpr std::string_view kTitle = kestrand::testing::kTitle;
constexpr double kLargest = std::numeric_limits<double>::max();

// An abort, not an exception: libFuzzer keeps the input that broke the rule.
void require(bool holds, const char* rule) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "41" or "-9", never "+5", " 5", "05" or "-0".
std::optional<long> plainNumber(std::string_view text) {
    const std::string_view digits = text.substr(text.starts_with('-') ? 1 : 0);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isDigit) ||
        (digits.size() > 1 && digits.front() == '0') || text == "-0") {
        return std::nullopt;
    }
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} ? std::optional(value) : std::nullopt;
}

// A lower bound carries a sign column: " 41" or "-9".
std::optional<long> signedNumber(std::string_view text) {
    if (text.starts_with(' ')) {
        const auto value = plainNumber(text.substr(1));
        return value && *value >= 0 ? value : std::nullopt;
    }
    const auto value = plainNumber(text);
    return value && *value < 0 ? value : std::nullopt;
}

struct Bounds final {
    std::array<long, 3> upper; // U0, U1, U2
    std::array<long, 3> lower; // L1, L2, L3
};

// "0-U0", "L1-U1", "L2-U2", "L3+". A negative upper bound makes "--" in
// the middle, so the split is at the first "-" after the lower bound's sign.
std::optional<Bounds> parseBands(const std::array<std::string, 4>& bands) {
    Bounds b{};
    if (!bands[0].starts_with("0-")) {
        return std::nullopt;
    }
    const auto u0 = plainNumber(std::string_view(bands[0]).substr(2));
    if (!u0) {
        return std::nullopt;
    }
    b.upper[0] = *u0;
    for (std::size_t i = 1; i <= 2; ++i) {
        const std::string_view band = bands[i];
        const std::size_t dash = band.find('-', 1);
        if (dash == std::string_view::npos) {
            return std::nullopt;
        }
        const auto lower = signedNumber(band.substr(0, dash));
        const auto upper = plainNumber(band.substr(dash + 1));
        if (!lower || !upper) {
            return std::nullopt;
        }
        b.lower[i - 1] = *lower;
        b.upper[i] = *upper;
    }
    const std::string_view last = bands[3];
    if (!last.ends_with('+')) {
        return std::nullopt;
    }
    const auto l3 = signedNumber(last.substr(0, last.size() - 1));
    if (!l3) {
        return std::nullopt;
    }
    b.lower[2] = *l3;
    return b;
}

// The C library's reading of the same prefix, where the two rules agree:
// blanks, tabs and line feeds gone, and no text strtod reads differently
// (hexadecimal, "inf", "nan", leading white space of other kinds).
std::optional<double> libraryReading(std::string_view text) {
    std::string compact;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') {
            compact.push_back(c);
        }
    }
    std::string_view rest = compact;
    if (rest.starts_with('+') || rest.starts_with('-')) {
        rest.remove_prefix(1);
    }
    if (rest.empty() || !(isDigit(rest.front()) || rest.front() == '.')) {
        return std::nullopt;
    }
    if (rest.size() > 1 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        return std::nullopt;
    }
    const double value = std::strtod(compact.c_str(), nullptr);
    if (std::isinf(value)) {
        return std::copysign(kLargest, value);
    }
    return value;
}

void checkReading(std::string_view text, double total) {
    require(std::isfinite(total), "a total is always finite");
    if (const auto expected = libraryReading(text)) {
        require(total == *expected, "the numeric prefix reads as the C library reads it");
    }
}

// The quoted value reads back as the total to 15 significant digits.
void checkQuotedValue(std::string_view quoted, double total, char separator) {
    require(!quoted.empty() && quoted.find(' ') == std::string_view::npos, "quote has no blank");
    require(quoted.find(separator == '.' ? ',' : '.') == std::string_view::npos,
            "quote uses only the given separator");
    std::string readable(quoted);
    std::replace(readable.begin(), readable.end(), separator, '.');
    const double back = levels::readTotal(readable);
    require(std::fabs(back - total) <= std::fabs(total) * 1e-14, "quote reads back as the total");
    std::string digits;
    for (const char c : quoted.substr(0, quoted.find('E'))) {
        if (isDigit(c) && (c != '0' || !digits.empty())) {
            digits.push_back(c);
        }
    }
    require(digits.size() <= 15, "at most 15 significant digits");
}

// The wording around what a refusal quotes, taken from the rules that own it:
// the fuzzer checks what is quoted and where, not how the rules word it.
struct Frame final {
    std::string title, head, tail;
};

Frame frameOf(levels::Refusal refusal) {
    const levels::Message sample = levels::refusalMessage(refusal, "7", 7.0, ".");
    const std::size_t at = sample.text.find('7');
    return {sample.title, sample.text.substr(0, at), sample.text.substr(at + 1)};
}

void checkMessage(const levels::Message& m, levels::Refusal refusal, std::string_view entry,
                  double total, char separator) {
    require(m.icon == levels::MessageIcon::Exclamation, "refusals are exclamations");
    static const std::array<Frame, 3> frames{frameOf(levels::Refusal::Zero),
                                             frameOf(levels::Refusal::TooHigh),
                                             frameOf(levels::Refusal::TooLow)};
    const Frame& frame = frames.at(static_cast<std::size_t>(refusal));
    require(m.title == frame.title && m.text.size() >= frame.head.size() + frame.tail.size() &&
                m.text.starts_with(frame.head) && m.text.ends_with(frame.tail),
            "a refusal is worded as the rules word it");
    const std::string_view quoted = std::string_view(m.text).substr(
        frame.head.size(), m.text.size() - frame.head.size() - frame.tail.size());
    if (refusal == levels::Refusal::TooLow) {
        checkQuotedValue(quoted, total, separator);
    } else {
        require(quoted == entry, "the zero and too-high refusals quote the entry");
    }
}

void checkRangeCheck(double total, std::optional<levels::Refusal> refusal) {
    using levels::Refusal;
    require((refusal == Refusal::Zero) == (total == 0.0), "zero and only zero is Zero");
    require((refusal == Refusal::TooHigh) == (total > 19999.0), "above 19999 is TooHigh");
    require((refusal == Refusal::TooLow) == (total > 0.0 && total < 10.0), "0..10 is TooLow");
}

// Whole numbers nearest to the exact double, a tie going to the even one.
bool isRoundedHalfEven(long rounded, double value) {
    const double off = std::fabs(static_cast<double>(rounded) - value);
    return off < 0.5 || (off == 0.5 && rounded % 2 == 0);
}

void checkBands(const Bounds& b, double total) {
    constexpr std::array<double, 3> fractions{0.2, 0.4, 0.6};
    for (std::size_t i = 0; i < 3; ++i) {
        const double product = total * fractions[i];
        require(isRoundedHalfEven(b.upper[i], product), "an upper bound is R(total x fraction)");
        require(isRoundedHalfEven(b.lower[i], product + 1.0), "a lower bound is R(... + 1)");
        require(b.lower[i] >= std::numeric_limits<std::int16_t>::min() &&
                    b.lower[i] <= std::numeric_limits<std::int16_t>::max(),
                "a lower bound fits in 16 bits");
    }
    const bool whole = total == std::floor(total);
    if (whole && total >= 10.0 && total <= 19999.0) {
        for (std::size_t i = 0; i < 3; ++i) {
            require(b.lower[i] == b.upper[i] + 1, "whole totals give abutting bands");
        }
        require(b.upper[0] <= b.upper[1] && b.upper[1] <= b.upper[2], "bands ascend");
    }
}

// Each threshold is the text before its separator: a negative lower bound
// starts with that separator, so a minus leaves an empty threshold.
void checkSummary(const ScriptedWindow& w, const Bounds& b) {
    const std::string& title = w.windowTitle();
    require(title.starts_with("KRD: MV="), "summary title opens with MV=");
    const std::size_t sv = title.find(", SV=");
    const std::size_t ov = title.find(", OV=");
    require(sv != std::string::npos && ov != std::string::npos && sv < ov, "summary has SV, OV");
    const std::string_view mvText = std::string_view(title).substr(8, sv - 8);
    const std::string_view svText = std::string_view(title).substr(sv + 5, ov - sv - 5);
    const std::string_view ovText = std::string_view(title).substr(ov + 5);
    const auto dashThreshold = [](std::string_view text, long lower) {
        return lower < 0 ? text.empty() : plainNumber(text) == lower;
    };
    require(dashThreshold(mvText, b.lower[0]), "MV is the marginal lower bound");
    require(dashThreshold(svText, b.lower[1]), "SV is the significant lower bound");
    require(plainNumber(ovText) == b.lower[2], "OV is the overwhelming lower bound");
}

struct Outcome final {
    std::array<std::string, 4> bands;
    std::string entry;
    std::size_t messages;
};

Outcome play(std::string_view text, bool byEnter, char separator) {
    ScriptedWindow w;
    w.setSeparator(std::string(1, separator));
    w.show().paste(text);
    if (byEnter) {
        w.pressEnter();
    } else {
        w.click(Focus::Calculate);
    }
    const double total = levels::readTotal(text);
    std::optional<levels::Refusal> refusal = levels::rangeCheck(total);
    const auto& shown = w.messages();
    require(shown.size() <= 1, "at most one message per calculation");

    if (shown.size() == 1) {
        require(w.bands() == std::array<std::string, 4>{"0", "0", "0", "0"}, "refusal resets");
        require(w.entry() == "0" && w.focus() == Focus::Entry, "refusal resets the entry");
        require(std::all_of(w.bandWrites().begin(), w.bandWrites().end(),
                            [](const std::string& s) { return s == "0"; }),
                "no band but the reset is ever written on a refusal");
        if (!refusal) {
            require(total < -54615.0, "only far below zero do bounds leave 16 bits");
            refusal = levels::Refusal::TooLow;
        }
        checkMessage(shown[0], *refusal, text, total, separator);
        require(shown[0] ==
                    levels::refusalMessage(*refusal, text, total, std::string(1, separator)),
                "the form shows the rules' refusal");
        w.setState(WindowState::Minimized);
        require(w.windowTitle() == kTitle, "after a refusal the title stays");
    } else {
        require(!refusal, "a refused total never reaches the bands");
        require(w.entry() == text && w.focus() == Focus::Exit, "a calculation keeps the entry");
        require(w.bandWrites().size() == 4, "all four bands written once");
        const auto bounds = parseBands(w.bands());
        require(bounds.has_value(), "band texts are well formed");
        checkBands(*bounds, total);
        w.setState(WindowState::Minimized);
        checkSummary(w, *bounds);
    }
    w.setState(WindowState::Normal);
    require(w.windowTitle() == kTitle, "restoring brings the title back");
    return {w.bands(), w.entry(), shown.size()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double total = levels::readTotal(text);
    checkReading(text, total);
    checkRangeCheck(total, levels::rangeCheck(total));

    const Outcome enter = play(text, true, '.');
    const Outcome click = play(text, false, ',');
    require(enter.bands == click.bands && enter.entry == click.entry &&
                enter.messages == click.messages,
            "Enter and a click on Calculate agree");
    return 0;
}
