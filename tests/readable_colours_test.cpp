// The red entry text and the blue band texts on the schemes people use: kept
// where they read as on the standard colours, a tint of the same hue that
// reaches high contrast where they do not, the scheme's own text in a
// high-contrast mode; on a page, a red deepened just enough for the web's bar.
#include "app/readable_colours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using kestrand::contrastRatio;
using kestrand::Scheme;
using kestrand::layout::kBandText;
using kestrand::layout::kEntryText;
using kestrand::layout::Rgb;

TEST(ContrastRatio, SpansOneToTwentyOne) {
    EXPECT_DOUBLE_EQ(contrastRatio({0, 0, 0}, {255, 255, 255}), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio({255, 255, 255}, {0, 0, 0}), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio({50, 50, 50}, {50, 50, 50}), 1.0);
    EXPECT_NEAR(contrastRatio(kEntryText, {255, 255, 255}), 4.0, 0.01);
}

enum class Ink { Kept, Tinted, Deepened, SchemeText };

struct SchemeRow {
    const char* name;
    Scheme scheme;
    Ink entry;
    Ink bands;
    kestrand::Bar bar = kestrand::Bar::AsDrawn;
};

// A tint keeps the hue: the ink's own channel leads, the other two stay level.
bool sameHue(Rgb tint, Rgb ink) {
    const auto level = [](int a, int b) { return std::abs(a - b) <= 2; };
    if (ink == kEntryText) {
        return tint.red > tint.green && level(tint.green, tint.blue);
    }
    return tint.blue > tint.red && level(tint.red, tint.green);
}

void expectInk(Ink expected, Rgb used, Rgb ink, Rgb background, Rgb schemeText) {
    switch (expected) {
    case Ink::Kept:
        EXPECT_EQ(used, ink);
        break;
    case Ink::Tinted:
        EXPECT_NE(used, ink);
        EXPECT_TRUE(sameHue(used, ink));
        EXPECT_GE(contrastRatio(used, background),
                  std::min(7.0, contrastRatio(schemeText, background)));
        break;
    case Ink::Deepened: // the least tint that reaches 4.5:1, so that it looks as drawn
        EXPECT_TRUE(sameHue(used, ink));
        EXPECT_GE(contrastRatio(used, background), 4.5);
        EXPECT_LT(contrastRatio(used, background), 4.6);
        break;
    case Ink::SchemeText:
        EXPECT_EQ(used, schemeText);
        break;
    }
}

class ReadableInk : public testing::TestWithParam<SchemeRow> {};

TEST_P(ReadableInk, KeepsRedAndBlueOrTintsThemToRead) {
    const Scheme& scheme = GetParam().scheme;
    const kestrand::FormInk used = kestrand::readableInk(scheme, GetParam().bar);
    {
        SCOPED_TRACE("entry");
        expectInk(GetParam().entry, used.entryText, kEntryText, scheme.windowBackground,
                  scheme.windowText);
    }
    {
        SCOPED_TRACE("bands");
        expectInk(GetParam().bands, used.bandText, kBandText, scheme.buttonFace, scheme.buttonText);
    }
    EXPECT_EQ(used.picture, !scheme.highContrast);
}

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

INSTANTIATE_TEST_SUITE_P(
    Schemes, ReadableInk,
    testing::Values(
        SchemeRow{"Standard", kestrand::kStandardScheme, Ink::Kept, Ink::Kept},
        SchemeRow{"AdwaitaLight",
                  {{246, 245, 244}, {46, 52, 54}, {255, 255, 255}, {46, 52, 54}},
                  Ink::Kept,
                  Ink::Kept},
        SchemeRow{
            "HighContrastWhiteColours", {kWhite, kBlack, kWhite, kBlack}, Ink::Kept, Ink::Kept},
        // Red reads on black (5.25:1); blue does not (2.44:1).
        SchemeRow{
            "HighContrastBlackColours", {kBlack, kWhite, kBlack, kWhite}, Ink::Kept, Ink::Tinted},
        SchemeRow{"DarkerGrey",
                  {{66, 66, 69}, {255, 255, 255}, {61, 61, 61}, {255, 255, 255}},
                  Ink::Tinted,
                  Ink::Tinted},
        SchemeRow{"AdwaitaDark",
                  {{50, 50, 50}, {238, 238, 236}, {36, 36, 36}, {238, 238, 236}},
                  Ink::Kept,
                  Ink::Tinted},
        // Black text on mid grey reaches only 5.3:1, and no tint short of black does.
        SchemeRow{"MidGreyWithBlackText",
                  {{128, 128, 128}, kBlack, {128, 128, 128}, kBlack},
                  Ink::SchemeText,
                  Ink::SchemeText},
        SchemeRow{"StandardOnAPage", kestrand::kStandardScheme, Ink::Deepened, Ink::Kept,
                  kestrand::Bar::Web},
        SchemeRow{"AdwaitaDarkOnAPage",
                  {{50, 50, 50}, {238, 238, 236}, {36, 36, 36}, {238, 238, 236}},
                  Ink::Deepened,
                  Ink::Tinted,
                  kestrand::Bar::Web},
        SchemeRow{"HighContrastBlackSaidSo",
                  {kBlack, {255, 255, 0}, kBlack, kWhite, true},
                  Ink::SchemeText,
                  Ink::SchemeText},
        SchemeRow{"HighContrastWhiteSaidSo",
                  {kWhite, kBlack, kWhite, kBlack, true},
                  Ink::SchemeText,
                  Ink::SchemeText}),
    [](const testing::TestParamInfo<SchemeRow>& info) { return std::string(info.param.name); });

} // namespace
