// The colours the form draws with: the desktop's, unless they would leave the
// red entry text or the blue band texts hard to read. No toolkit types here.
#pragma once

#include "app/form_layout.h"

namespace kestrand {

// The three desktop colours the form takes: labels and the window stand on
// the button face, the entry on the window background.
struct FormColours final {
    layout::Rgb buttonFace;
    layout::Rgb windowBackground;
    layout::Rgb buttonText;

    bool operator==(const FormColours&) const = default;
};

// The light standard colours the form was drawn with.
inline constexpr FormColours kStandardColours{{240, 240, 240}, {255, 255, 255}, {0, 0, 0}};

// The contrast ratio of two colours as the web's accessibility guidelines
// define it, from 1 (none) to 21 (black on white).
[[nodiscard]] double contrastRatio(layout::Rgb a, layout::Rgb b);

// The desktop's colours where the red and the blue stay readable on them (a
// contrast of 4.5:1, or for the red, which reaches only 4.0:1 on white, nearly
// what it has on the standard colours); the standard colours otherwise, as on
// a dark theme. A light theme keeps its own.
[[nodiscard]] FormColours readableColours(const FormColours& desktop);

} // namespace kestrand
