// Reading totals from any text, and writing values in general number form.
#include "levels/number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr double kMax = std::numeric_limits<double>::max();

struct ReadRow {
    const char* name;
    std::string text;
    double value;
};

class ReadTotal : public testing::TestWithParam<ReadRow> {};

TEST_P(ReadTotal, ReadsTheNumericPrefix) {
    EXPECT_EQ(levels::readTotal(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadTotal,
    testing::Values(
        ReadRow{"Empty", "", 0}, ReadRow{"Letters", "abc", 0}, ReadRow{"LoneMinus", "-", 0},
        ReadRow{"LonePoint", ".", 0}, ReadRow{"PointThenExponent", ".e5", 0},
        ReadRow{"Zero", "0", 0}, ReadRow{"LeadingZeros", "007", 7},
        ReadRow{"BlankBetweenDigits", "1 2", 12}, ReadRow{"TabAndLineFeedSkipped", "\t1\n2 ", 12},
        ReadRow{"CarriageReturnStops", "1\r2", 1}, ReadRow{"TrailingLetters", "12abc", 12},
        ReadRow{"CommaStops", "1,000", 1}, ReadRow{"SecondPointStops", "1.2.3", 1.2},
        ReadRow{"Fraction", "7.5", 7.5}, ReadRow{"NoLeadingDigit", ".5", 0.5},
        ReadRow{"TrailingPoint", "5.", 5}, ReadRow{"Negative", "-5", -5},
        ReadRow{"BlankAfterSign", " - 5", -5}, ReadRow{"Plus", "+20000", 20000},
        ReadRow{"DoubleSign", "--5", 0}, ReadRow{"Exponent", "1e5", 100000},
        ReadRow{"UpperExponentNegative", "25E-1", 2.5}, ReadRow{"ExponentWithoutDigits", "12e", 12},
        ReadRow{"ExponentSignOnly", "12e+", 12}, ReadRow{"ExponentLetterStops", "12ex5", 12},
        ReadRow{"HexIsNotRead", "&H10", 0}, ReadRow{"FractionZerosShiftDown", "0.00123", 0.00123},
        ReadRow{"NotDecimalComma", "0,5", 0},
        ReadRow{"NulStops",
                std::string("4\0"
                            "2",
                            3),
                4},
        ReadRow{"FullwidthDigitIsNotADigit", "\xEF\xBC\x95", 0},
        ReadRow{"ExactTiesToEven", "9007199254740993", 9007199254740992.0},
        ReadRow{"TooLargeIsLargest", std::string(400, '9'), kMax},
        ReadRow{"TooLargeNegativeIsLowest", "-" + std::string(400, '9'), -kMax},
        ReadRow{"HugeExponent", "1e99999999999999999999", kMax},
        ReadRow{"JustOverflowing", "1.8e308", kMax},
        ReadRow{"LargestFinite", "1.7976931348623157e308", kMax}, ReadRow{"Underflow", "1e-400", 0},
        ReadRow{"SubnormalIsKept", "1e-310", 1e-310},
        ReadRow{"SmallestSubnormal", "3e-324", std::numeric_limits<double>::denorm_min()},
        ReadRow{"BelowHalfTheSmallestSubnormal", "2e-324", 0},
        ReadRow{"UnderflowByZeros", "0." + std::string(400, '0') + "1", 0},
        ReadRow{"ZeroWithHugeExponent", "0e999999", 0},
        // Digits past the first few hundred still decide a tie.
        ReadRow{"StickyDigitBreaksTie", "9007199254740993." + std::string(900, '0') + "1",
                9007199254740994.0}),
    [](const testing::TestParamInfo<ReadRow>& info) { return std::string(info.param.name); });

TEST(ReadTotalLimits, AMegabyteOfDigitsIsReadAsTheLargestDouble) {
    EXPECT_EQ(levels::readTotal(std::string(1 << 20, '7')), kMax);
    EXPECT_EQ(levels::readTotal("1." + std::string(1 << 20, '7')), 16.0 / 9.0);
    EXPECT_EQ(levels::readTotal("1e" + std::string(1 << 20, '7')), kMax);
}

struct FormRow {
    const char* name;
    double value;
    const char* separator;
    const char* text;
};

class GeneralNumberForm : public testing::TestWithParam<FormRow> {};

TEST_P(GeneralNumberForm, Writes) {
    EXPECT_EQ(levels::generalNumberForm(GetParam().value, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GeneralNumberForm,
    testing::Values(FormRow{"Whole", 5, ".", "5"}, FormRow{"Zero", 0, ".", "0"},
                    FormRow{"NegativeZero", -0.0, ".", "0"}, FormRow{"Fraction", 7.5, ".", "7.5"},
                    FormRow{"LeadingZero", 0.5, ".", "0.5"},
                    FormRow{"LocaleSeparator", 0.5, ",", "0,5"},
                    FormRow{"Negative", -2.25, ".", "-2.25"},
                    FormRow{"FifteenDigitsRoundDown", 1.0 / 3, ".", "0.333333333333333"},
                    FormRow{"FifteenDigitsRoundUp", 2.0 / 3, ".", "0.666666666666667"},
                    FormRow{"RoundsUpToWhole", 9.9999999999999999, ".", "10"},
                    FormRow{"NoFloatNoise", 0.1 + 0.2, ".", "0.3"},
                    FormRow{"SmallestFixed", 0.0001, ".", "0.0001"},
                    FormRow{"SmallExponent", 0.00001, ".", "1E-05"},
                    FormRow{"SmallExponentFraction", 1.5e-7, ",", "1,5E-07"},
                    FormRow{"LargestFixed", 123456789012345.0, ".", "123456789012345"},
                    FormRow{"LargeExponent", 1e15, ".", "1E+15"},
                    FormRow{"ThreeDigitExponent", 1e-300, ".", "1E-300"},
                    FormRow{"Infinite", std::numeric_limits<double>::infinity(), ".", "inf"},
                    FormRow{"NegativeInfinite", -std::numeric_limits<double>::infinity(), ".",
                            "-inf"},
                    FormRow{"NotANumber", std::numeric_limits<double>::quiet_NaN(), ".", "nan"}),
    [](const testing::TestParamInfo<FormRow>& info) { return std::string(info.param.name); });

} // namespace
