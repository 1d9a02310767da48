// The minimized title: when it applies and what it says.
#include "levels/summary.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ShowsSummary, OnlyMinimizedAndCalculated) {
    EXPECT_TRUE(levels::showsSummary(" 41-80", true));
    EXPECT_FALSE(levels::showsSummary(" 41-80", false));
    EXPECT_FALSE(levels::showsSummary("0", true));
    // Only the exact reset text marks bands as not calculated.
    EXPECT_TRUE(levels::showsSummary("0 ", true));
    EXPECT_TRUE(levels::showsSummary("", true));
}

struct TitleRow {
    const char* name;
    const char* mv;
    const char* sv;
    const char* ov;
    const char* title;
};

class SummaryTitle : public testing::TestWithParam<TitleRow> {};

TEST_P(SummaryTitle, Reads) {
    EXPECT_EQ(levels::summaryTitle(GetParam().mv, GetParam().sv, GetParam().ov), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SummaryTitle,
    testing::Values(
        TitleRow{"TwoHundred", " 41-80", " 81-120", " 121+", "KRD: MV=41, SV=81, OV=121"},
        TitleRow{"Ten", " 3-4", " 5-6", " 7+", "KRD: MV=3, SV=5, OV=7"},
        TitleRow{"Top", " 4001-8000", " 8001-11999", " 12000+", "KRD: MV=4001, SV=8001, OV=12000"},
        TitleRow{"NegativeSignIsTheSeparator", "-9--20", "-19--30", "-29+",
                 "KRD: MV=, SV=, OV=-29"},
        TitleRow{"BlanksTrimmedBothEnds", "  41  -80", " 81 -", "121  +",
                 "KRD: MV=41, SV=81, OV=121"},
        TitleRow{"OnlyBlanksAreTrimmed", "\t41-80", " 81\t-", " 121+",
                 "KRD: MV=\t41, SV=81\t, OV=121"},
        TitleRow{"MissingSeparatorTakesTheWhole", " 41 ", "81", " 0 ", "KRD: MV=41, SV=81, OV=0"},
        TitleRow{"EmptyCaptions", "", "", "", "KRD: MV=, SV=, OV="},
        TitleRow{"AllBlanks", "   ", " ", "  ", "KRD: MV=, SV=, OV="}),
    [](const testing::TestParamInfo<TitleRow>& info) { return std::string(info.param.name); });

} // namespace
