// The keystroke filter, the range check and the wording of every refusal.
#include "levels/entry_check.h"
#include "test_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using levels::MessageIcon;
using levels::Refusal;

TEST(KeystrokeFilter, OnlyDigitsEnterAndBackspacePassOfAllCodes) {
    for (int code = std::numeric_limits<std::int16_t>::min();
         code <= std::numeric_limits<std::int16_t>::max(); ++code) {
        const bool expected = (code >= 48 && code <= 57) || code == 13 || code == 8;
        EXPECT_EQ(levels::passesKeystrokeFilter(static_cast<std::int16_t>(code)), expected) << code;
    }
}

TEST(KeystrokeFilter, RefusalIsAnInformationMessage) {
    EXPECT_EQ(levels::keystrokeRefusal(),
              (levels::Message{"Positive Numeric Input Only Please!", "Input Error",
                               MessageIcon::Information}));
}

struct RangeRow {
    const char* name;
    double total;
    std::optional<Refusal> refusal;
};

class RangeCheck : public testing::TestWithParam<RangeRow> {};

TEST_P(RangeCheck, Classifies) {
    EXPECT_EQ(levels::rangeCheck(GetParam().total), GetParam().refusal);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RangeCheck,
    testing::Values(
        RangeRow{"Zero", 0, Refusal::Zero}, RangeRow{"NegativeZero", -0.0, Refusal::Zero},
        RangeRow{"Negative", -5, std::nullopt},
        RangeRow{"LowestDouble", -std::numeric_limits<double>::max(), std::nullopt},
        RangeRow{"Tiny", 1e-300, Refusal::TooLow}, RangeRow{"Nine", 9, Refusal::TooLow},
        RangeRow{"JustBelowTen", 9.999999, Refusal::TooLow}, RangeRow{"Ten", 10, std::nullopt},
        RangeRow{"Top", 19999, std::nullopt}, RangeRow{"HalfAboveTop", 19999.5, Refusal::TooHigh},
        RangeRow{"Twenty", 20000, Refusal::TooHigh},
        RangeRow{"LargestDouble", std::numeric_limits<double>::max(), Refusal::TooHigh}),
    [](const testing::TestParamInfo<RangeRow>& info) { return std::string(info.param.name); });

struct MessageRow {
    const char* name;
    Refusal refusal;
    const char* entry;
    double total;
    const char* separator;
    const char* title;
    const char* text;
};

class RefusalMessage : public testing::TestWithParam<MessageRow> {};

TEST_P(RefusalMessage, IsWordedExactly) {
    const MessageRow& row = GetParam();
    const levels::Message m =
        levels::refusalMessage(row.refusal, row.entry, row.total, row.separator);
    EXPECT_EQ(m.title, row.title);
    EXPECT_EQ(m.text, row.text);
    EXPECT_EQ(m.icon, MessageIcon::Exclamation);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RefusalMessage,
    testing::Values(MessageRow{"ZeroQuotesEntry", Refusal::Zero, "0", 0, ".", "Zero Value",
                               "Invalid Entry: 0. You Must\r\nEnter a Numeric Non-Zero Value!"},
                    MessageRow{"ZeroEmpty", Refusal::Zero, "", 0, ".", "Zero Value",
                               "Invalid Entry: . You Must\r\nEnter a Numeric Non-Zero Value!"},
                    MessageRow{"ZeroKeepsLeadingZeros", Refusal::Zero, "000", 0, ".", "Zero Value",
                               "Invalid Entry: 000. You Must\r\nEnter a Numeric Non-Zero Value!"},
                    MessageRow{"ZeroQuotesLetters", Refusal::Zero, "abc", 0, ".", "Zero Value",
                               "Invalid Entry: abc. You Must\r\nEnter a Numeric Non-Zero Value!"},
                    MessageRow{"TooHigh", Refusal::TooHigh, "20000", 20000, ".",
                               "Victory Point Total Too High",
                               "The Value is Too High at 20000!\r\nIt Must be Below 20,000"},
                    MessageRow{"TooHighQuotesAsTyped", Refusal::TooHigh, "020000", 20000, ",",
                               "Victory Point Total Too High",
                               "The Value is Too High at 020000!\r\nIt Must be Below 20,000"},
                    MessageRow{"TooHighFraction", Refusal::TooHigh, "19999.5", 19999.5, ",",
                               "Victory Point Total Too High",
                               "The Value is Too High at 19999.5!\r\nIt Must be Below 20,000"},
                    MessageRow{"TooLow", Refusal::TooLow, "5", 5, ".",
                               "Victory Point Total Too Low",
                               "The Value is Too Low at 5!\r\nIt Must be Over 10"},
                    MessageRow{"TooLowQuotesValue", Refusal::TooLow, "09", 9, ".",
                               "Victory Point Total Too Low",
                               "The Value is Too Low at 9!\r\nIt Must be Over 10"},
                    MessageRow{"TooLowFraction", Refusal::TooLow, "0.5", 0.5, ".",
                               "Victory Point Total Too Low",
                               "The Value is Too Low at 0.5!\r\nIt Must be Over 10"},
                    MessageRow{"TooLowLocaleSeparator", Refusal::TooLow, "7.5", 7.5, ",",
                               "Victory Point Total Too Low",
                               "The Value is Too Low at 7,5!\r\nIt Must be Over 10"},
                    // No value of the type, named or not, leaves a message without words.
                    MessageRow{"UnnamedValueIsWordedAsTooLow", static_cast<Refusal>(3), "5", 5, ".",
                               "Victory Point Total Too Low",
                               "The Value is Too Low at 5!\r\nIt Must be Over 10"}),
    [](const testing::TestParamInfo<MessageRow>& info) { return std::string(info.param.name); });

} // namespace
