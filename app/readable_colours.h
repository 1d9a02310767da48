// The colours the form draws its red entry text and blue band texts in: the
// desktop's scheme stays as it is, and only those two move where they would
// not read on it. No toolkit types here; each window asks and paints.
#pragma once

#include "app/form_layout.h"

namespace kestrand {

// The desktop's colours the form stands on: labels and their texts on the
// button face, the entry on the window background.
struct Scheme final {
    layout::Rgb buttonFace;
    layout::Rgb buttonText;
    layout::Rgb windowBackground;
    layout::Rgb windowText;
    // The desktop says that it is in a high-contrast mode.
    bool highContrast = false;
};

// The light standard scheme the form was drawn on.
inline constexpr Scheme kStandardScheme{.buttonFace = {240, 240, 240},
                                        .buttonText = {0, 0, 0},
                                        .windowBackground = {255, 255, 255},
                                        .windowText = {0, 0, 0}};

struct FormInk final {
    layout::Rgb entryText;
    layout::Rgb bandText;
    // The decorative background picture, which gives way to the button face
    // in a high-contrast mode.
    bool picture = true;

    bool operator==(const FormInk&) const = default;
};

// The contrast ratio of two colours as the web's accessibility guidelines
// define it, from 1 (none) to 21 (black on white).
[[nodiscard]] double contrastRatio(layout::Rgb a, layout::Rgb b);

// How well the red and blue must read where they stand before they are kept.
enum class Bar {
    // As well as on the standard colours: a desktop keeps the red it was drawn
    // in, which reaches only 4.0:1 on white.
    AsDrawn,
    // 4.5:1, the bar a page's accessibility checkers hold every text to. Where
    // a desktop would keep the red, the page deepens it only that far, so
    // that it looks the same.
    Web,
};

// Red and blue where they read on the scheme at least as well as on the
// standard one (4.5:1, or nearly what they have there, for the red 4.0:1 on
// white); elsewhere a tint of the same hue moved toward the scheme's text
// colour until it reaches 7:1, or as far as that colour itself reaches. In a
// high-contrast mode, the scheme's own text colours.
[[nodiscard]] FormInk readableInk(const Scheme& scheme, Bar bar = Bar::AsDrawn);

} // namespace kestrand
