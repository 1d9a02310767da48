#include "app/readable_colours.h"

#include <algorithm>
#include <cmath>

namespace kestrand {
namespace {

constexpr double kReadable = 4.5;
// What a tint is moved toward: the bar low-vision users are given for text.
constexpr double kEnhanced = 7.0;
// Pure red reaches only 4.0:1 even on white: for it the bar is nine tenths of
// what it reaches on the standard colours, so that a light theme whose
// background is a shade off white keeps it.
constexpr double kNearStandard = 0.9;
constexpr int kTintSteps = 255;

double linear(std::uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(layout::Rgb colour) {
    return 0.2126 * linear(colour.red) + 0.7152 * linear(colour.green) +
           0.0722 * linear(colour.blue);
}

std::uint8_t between(std::uint8_t from, std::uint8_t to, int step) {
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * step / double(kTintSteps)));
}

layout::Rgb between(layout::Rgb from, layout::Rgb to, int step) {
    return {between(from.red, to.red, step), between(from.green, to.green, step),
            between(from.blue, to.blue, step)};
}

// ink as it is where it reads on background as well as on the standard one;
// otherwise the first tint toward text that reaches the goal. Contrast need
// not grow steadily along the way (a background between the two), so every
// step is tried; the last is text itself, which reaches the goal by its
// definition.
layout::Rgb readable(layout::Rgb ink, layout::Rgb background, layout::Rgb standardBackground,
                     layout::Rgb text, Bar bar) {
    const double asDrawn =
        std::min(kReadable, kNearStandard * contrastRatio(ink, standardBackground));
    const double reached = contrastRatio(ink, background);
    if (reached >= (bar == Bar::Web ? kReadable : asDrawn)) {
        return ink;
    }
    const double goal =
        reached >= asDrawn ? kReadable : std::min(kEnhanced, contrastRatio(text, background));
    for (int step = 1; step < kTintSteps; ++step) {
        const layout::Rgb tint = between(ink, text, step);
        if (contrastRatio(tint, background) >= goal) {
            return tint;
        }
    }
    return text;
}

} // namespace

double contrastRatio(layout::Rgb a, layout::Rgb b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

FormInk readableInk(const Scheme& scheme, Bar bar) {
    if (scheme.highContrast) {
        return {.entryText = scheme.windowText, .bandText = scheme.buttonText, .picture = false};
    }
    return {.entryText = readable(layout::kEntryText, scheme.windowBackground,
                                  kStandardScheme.windowBackground, scheme.windowText, bar),
            .bandText = readable(layout::kBandText, scheme.buttonFace, kStandardScheme.buttonFace,
                                 scheme.buttonText, bar)};
}

} // namespace kestrand
