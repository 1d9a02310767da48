// The four band texts of a total, and the rounding under them.
#include "levels/bands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

struct BandRow {
    const char* name;
    double total;
    std::optional<levels::BandTexts> texts;
};

class BandTexts : public testing::TestWithParam<BandRow> {};

TEST_P(BandTexts, Computes) {
    EXPECT_EQ(levels::bandTexts(GetParam().total), GetParam().texts);
}

using T = levels::BandTexts;

INSTANTIATE_TEST_SUITE_P(
    Rows, BandTexts,
    testing::Values(
        BandRow{"Ten", 10, T{"0-2", " 3-4", " 5-6", " 7+"}},
        BandRow{"Eleven", 11, T{"0-2", " 3-4", " 5-7", " 8+"}},
        BandRow{"Thirteen", 13, T{"0-3", " 4-5", " 6-8", " 9+"}},
        BandRow{"TwoHundred", 200, T{"0-40", " 41-80", " 81-120", " 121+"}},
        BandRow{"Top", 19999, T{"0-4000", " 4001-8000", " 8001-11999", " 12000+"}},
        // Ties round to even: 2.5 -> 2 and 3.5 -> 4 leave a gap; 7.5 -> 8 and 8.5 -> 8 overlap.
        BandRow{"FractionTies", 12.5, T{"0-2", " 4-5", " 6-8", " 8+"}},
        BandRow{"Negative", -50, T{"0--10", "-9--20", "-19--30", "-29+"}},
        BandRow{"SmallNegativeHasNoMinusZero", -0.3, T{"0-0", " 1-0", " 1-0", " 1+"}},
        BandRow{"LowestThatFits", -54615,
                T{"0--10923", "-10922--21846", "-21845--32769", "-32768+"}},
        BandRow{"OverwhelmingBoundOverflows", -54616, std::nullopt},
        BandRow{"AllBoundsOverflow", -163848, std::nullopt},
        BandRow{"HugeTotalOverflows", 1e300, std::nullopt},
        BandRow{"LowestDouble", -std::numeric_limits<double>::max(), std::nullopt},
        BandRow{"NotANumber", std::numeric_limits<double>::quiet_NaN(), std::nullopt}),
    [](const testing::TestParamInfo<BandRow>& info) { return std::string(info.param.name); });

struct RoundRow {
    const char* name;
    double value;
    double rounded;
};

class RoundHalfEven : public testing::TestWithParam<RoundRow> {};

TEST_P(RoundHalfEven, Rounds) {
    EXPECT_EQ(levels::roundHalfEven(GetParam().value), GetParam().rounded) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RoundHalfEven,
    testing::Values(RoundRow{"TieDown", 2.5, 2}, RoundRow{"TieUp", 3.5, 4},
                    RoundRow{"NegativeTieUp", -2.5, -2}, RoundRow{"NegativeTieDown", -3.5, -4},
                    RoundRow{"HalfToZero", 0.5, 0}, RoundRow{"NegativeHalfToZero", -0.5, 0},
                    RoundRow{"JustBelowHalf", 0.49999999999999994, 0},
                    RoundRow{"JustBelowNegativeHalf", -0.49999999999999994, 0},
                    RoundRow{"JustBelowTie", 1.4999999999999998, 1}, RoundRow{"AboveHalf", 8.6, 9},
                    RoundRow{"Whole", -7, -7},
                    RoundRow{"BeyondFractions", 4503599627370497.0, 4503599627370497.0}),
    [](const testing::TestParamInfo<RoundRow>& info) { return std::string(info.param.name); });

} // namespace
