// The form's colours on the desktops people use: their own where the red and
// the blue read well on them, the light standard ones where they would not.
#include "app/readable_colours.h"

#include <gtest/gtest.h>

namespace {

using kestrand::FormColours;
using kestrand::kStandardColours;
using kestrand::layout::kBandText;
using kestrand::layout::kEntryText;

TEST(ContrastRatio, SpansOneToTwentyOne) {
    EXPECT_DOUBLE_EQ(kestrand::contrastRatio({0, 0, 0}, {255, 255, 255}), 21.0);
    EXPECT_DOUBLE_EQ(kestrand::contrastRatio({255, 255, 255}, {0, 0, 0}), 21.0);
    EXPECT_DOUBLE_EQ(kestrand::contrastRatio({50, 50, 50}, {50, 50, 50}), 1.0);
    EXPECT_NEAR(kestrand::contrastRatio(kEntryText, {255, 255, 255}), 4.0, 0.01);
}

struct PaletteRow {
    const char* name;
    FormColours desktop;
    bool keptAsItIs;
};

class ReadableColours : public testing::TestWithParam<PaletteRow> {};

TEST_P(ReadableColours, KeepTheDesktopsOnlyWhereRedAndBlueRead) {
    const PaletteRow& row = GetParam();
    const FormColours used = kestrand::readableColours(row.desktop);
    EXPECT_EQ(used, row.keptAsItIs ? row.desktop : kStandardColours);
    EXPECT_GE(kestrand::contrastRatio(kBandText, used.buttonFace), 4.5);
    EXPECT_GE(kestrand::contrastRatio(kEntryText, used.windowBackground), 3.6);
}

INSTANTIATE_TEST_SUITE_P(
    Palettes, ReadableColours,
    testing::Values(
        PaletteRow{"Standard", kStandardColours, true},
        PaletteRow{"FusionLight", {{239, 239, 239}, {255, 255, 255}, {0, 0, 0}}, true},
        PaletteRow{"AdwaitaLight", {{246, 245, 244}, {255, 255, 255}, {46, 52, 54}}, true},
        PaletteRow{"BreezeLight", {{239, 240, 241}, {252, 252, 252}, {35, 38, 41}}, true},
        PaletteRow{"HighContrastLight", {{255, 255, 255}, {255, 255, 255}, {0, 0, 0}}, true},
        PaletteRow{"AdwaitaDark", {{50, 50, 50}, {36, 36, 36}, {238, 238, 236}}, false},
        PaletteRow{"BreezeDark", {{49, 54, 59}, {35, 38, 41}, {239, 240, 241}}, false},
        PaletteRow{"HighContrastDark", {{0, 0, 0}, {0, 0, 0}, {255, 255, 255}}, false},
        PaletteRow{
            "GreyEntryOnLightButtons", {{240, 240, 240}, {128, 128, 128}, {0, 0, 0}}, false}),
    [](const testing::TestParamInfo<PaletteRow>& info) { return std::string(info.param.name); });

} // namespace
