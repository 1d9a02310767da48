// What the window looks like: title, size and the thirteen controls with their
// texts, places, tab order and tooltips. Data only; each front end draws it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrand::layout {

inline constexpr std::string_view kTitle = "FEXO- Scenario Kestrand";

// Positions are in twips: 15 to a pixel at 96 dots per inch.
inline constexpr int kClientWidthTwips = 8670;
inline constexpr int kClientHeightTwips = 4095;

inline constexpr std::string_view kFontFace = "MS Sans Serif";
inline constexpr double kFontPoints = 8.25;
// Metrically the same face, where the desktop has no "MS Sans Serif".
inline constexpr std::string_view kFontSubstitute = "Liberation Sans";

struct Rgb final {
    std::uint8_t red, green, blue;

    bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kEntryText{255, 0, 0};
inline constexpr Rgb kBandText{0, 0, 255};

enum class Kind {
    Entry,     // single line, right-aligned, red, bold
    Button,    // normal weight
    Label,     // right-aligned, bold, opaque
    BandLabel, // a Label in blue with a single sunken border
};

// Buttons draw in the normal weight, everything else in bold.
[[nodiscard]] constexpr bool isBold(Kind kind) {
    return kind != Kind::Button;
}

enum class Control {
    txtVPs,
    cmdNotes,
    cmdCalculate,
    cmdExit,
    lblD,
    lblVPs,
    lblNumber0,
    lblNumber3,
    lblNumber2,
    lblNumber1,
    lblOV,
    lblSV,
    lblMV,
};

struct Rect final {
    int left, top, width, height;
};

struct ControlRow final {
    Control id;
    Kind kind;
    std::string_view text;
    Rect twips;
    bool tabStop = false;
    // Buttons that run the entry's check before the focus may move to them.
    bool validates = false;
    // The text breaks at word boundaries onto further lines.
    bool wordWrap = false;
    std::string_view toolTip;
};

inline constexpr int kBandCount = 4;

// Enter works this button unless the focus is on another one.
inline constexpr Control kDefaultButton = Control::cmdCalculate;

// Every control with its text, place and tooltip. The Qt window creates them
// in this order, which is the order they stack in where two share a pixel
// column; the Win32 window creates them in kReadingOrder. Labels never take
// the focus, so they are no tab stops.
inline constexpr std::array<ControlRow, 13> kControls{{
    {.id = Control::txtVPs,
     .kind = Kind::Entry,
     .text = "0",
     .twips = {.left = 7440, .top = 2040, .width = 1095, .height = 495},
     .tabStop = true,
     .toolTip = "Enter the Total Scenario Victory Points Here- Then Press Calculate Button "
                "(or Hit Return) to Calculate Victory Levels"},
    {.id = Control::cmdNotes,
     .kind = Kind::Button,
     .text = "Notes",
     .twips = {.left = 6240, .top = 2640, .width = 1095, .height = 615},
     .validates = true,
     .toolTip = "Click Here to Display Notes on Scenario Victory Level Calculation"},
    {.id = Control::cmdCalculate,
     .kind = Kind::Button,
     .text = "Calculate",
     .twips = {.left = 7440, .top = 2640, .width = 1095, .height = 615},
     .tabStop = true,
     .validates = true,
     .toolTip = "With a Value in the Box Above, Click to Calculate Victory Levels"},
    {.id = Control::cmdExit,
     .kind = Kind::Button,
     .text = "Exit",
     .twips = {.left = 7440, .top = 3360, .width = 1095, .height = 615},
     .tabStop = true,
     .toolTip = "Click to Exit"},
    {.id = Control::lblD,
     .kind = Kind::Label,
     .text = "Draw (+/-):",
     .twips = {.left = 120, .top = 2040, .width = 2415, .height = 255},
     .toolTip = "Values for Draw at Right"},
    {.id = Control::lblVPs,
     .kind = Kind::Label,
     .text = "Total Number of Scenario Victory Points:",
     .twips = {.left = 5040, .top = 2040, .width = 2415, .height = 495},
     .wordWrap = true,
     .toolTip =
         "Enter the Total Scenario Victory Points in the Text Box at Right- Press Calculate Button "
         "(or Hit Return) to Calculate Victory Levels"},
    {.id = Control::lblNumber0,
     .kind = Kind::BandLabel,
     .text = "0",
     .twips = {.left = 2520, .top = 2040, .width = 1215, .height = 255},
     .toolTip = "Contains Values for Draw"},
    {.id = Control::lblNumber3,
     .kind = Kind::BandLabel,
     .text = "0",
     .twips = {.left = 2520, .top = 3120, .width = 1215, .height = 255},
     .toolTip = "Contains Value for Overwhelming Victory- Value Here to Upper Value "
                "(See Notes for Details)"},
    {.id = Control::lblNumber2,
     .kind = Kind::BandLabel,
     .text = "0",
     .twips = {.left = 2520, .top = 2760, .width = 1215, .height = 255},
     .toolTip = "Contains Values for Significant Victory"},
    {.id = Control::lblNumber1,
     .kind = Kind::BandLabel,
     .text = "0",
     .twips = {.left = 2520, .top = 2400, .width = 1215, .height = 255},
     .toolTip = "Contains Values for Marginal Victory"},
    {.id = Control::lblOV,
     .kind = Kind::Label,
     .text = "Overwhelming Victory (+/-):",
     .twips = {.left = 120, .top = 3120, .width = 2415, .height = 255},
     .toolTip = "Values for Overwhelming Victory at Right"},
    {.id = Control::lblSV,
     .kind = Kind::Label,
     .text = "Significant Victory: (+/-):",
     .twips = {.left = 120, .top = 2760, .width = 2415, .height = 255},
     .toolTip = "Values for Significant Victory at Right"},
    {.id = Control::lblMV,
     .kind = Kind::Label,
     .text = "Marginal Victory (+/-):",
     .twips = {.left = 120, .top = 2400, .width = 2415, .height = 255},
     .toolTip = "Values for Marginal Victory at Right"},
}};

// The band label of lblNumber(i).
[[nodiscard]] constexpr Control bandControl(int index) {
    constexpr std::array<Control, kBandCount> bands{Control::lblNumber0, Control::lblNumber1,
                                                    Control::lblNumber2, Control::lblNumber3};
    return bands.at(static_cast<std::size_t>(index));
}

// The label that names lblNumber(i), left of it.
[[nodiscard]] constexpr Control bandCaptionControl(int index) {
    constexpr std::array<Control, kBandCount> captions{Control::lblD, Control::lblMV,
                                                       Control::lblSV, Control::lblOV};
    return captions.at(static_cast<std::size_t>(index));
}

// A control's place in arrays indexed by Control.
[[nodiscard]] constexpr std::size_t slot(Control id) {
    return static_cast<std::size_t>(id);
}

[[nodiscard]] constexpr const ControlRow& rowOf(Control id) {
    for (const ControlRow& c : kControls) {
        if (c.id == id) {
            return c;
        }
    }
    return kControls.front(); // unreachable: every Control has a row
}

inline constexpr int kTwipsPerInch = 1440;

// A length of the layout in pixels at dpi dots per inch, rounded to the
// nearest as Windows' MulDiv does; at 96 every length is whole.
[[nodiscard]] constexpr int pixels(int twips, int dpi) {
    return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

// The one statement of the tab order: every control by ascending tab index,
// a control's tab index being its place here. Tab visits the tab stops among
// them in this order; the rest never take the
// focus. Moving a tab stop here moves it in both windows and in kReadingOrder.
inline constexpr std::array<Control, kControls.size()> kByTabIndex{
    Control::cmdNotes,   Control::txtVPs,       Control::lblNumber3, Control::lblNumber2,
    Control::lblNumber1, Control::lblOV,        Control::lblSV,      Control::lblMV,
    Control::cmdExit,    Control::cmdCalculate, Control::lblNumber0, Control::lblVPs,
    Control::lblD,
};

namespace detail {
inline constexpr std::size_t kTabStopCount = [] {
    std::size_t count = 0;
    for (const ControlRow& row : kControls) {
        count += row.tabStop ? 1 : 0;
    }
    return count;
}();
} // namespace detail

// The order Tab visits the tab stops in.
inline constexpr std::array<Control, detail::kTabStopCount> kTabOrder = [] {
    std::array<Control, detail::kTabStopCount> order{};
    std::size_t n = 0;
    for (const Control id : kByTabIndex) {
        if (rowOf(id).tabStop) {
            order[n++] = id;
        }
    }
    return order;
}();

// The order a screen reader walks the controls in: the question, its entry
// and Notes, the four levels from Draw up, each caption just before what it
// names, then the buttons Tab reaches from the entry. A Win32 reader walks
// child windows in creation order and names an entry by the label before it,
// so the Win32 window creates the controls in this order; its dialog Tab
// follows that order too. So the places of the tab stops are given here, and
// kTabOrder fills them.
inline constexpr std::array<Control, kControls.size()> kReadingOrder = [] {
    std::array<Control, kControls.size()> order{
        Control::lblVPs,       Control::txtVPs, Control::cmdNotes,   Control::lblD,
        Control::lblNumber0,   Control::lblMV,  Control::lblNumber1, Control::lblSV,
        Control::lblNumber2,   Control::lblOV,  Control::lblNumber3, Control::cmdExit,
        Control::cmdCalculate,
    };
    std::size_t next = 0;
    for (Control& place : order) {
        if (rowOf(place).tabStop) {
            place = kTabOrder[next++];
        }
    }
    return order;
}();

namespace detail {
[[nodiscard]] constexpr bool
holdsEveryControlOnce(const std::array<Control, kControls.size()>& order) {
    std::array<int, kControls.size()> seen{};
    for (const Control id : order) {
        ++seen[slot(id)];
    }
    for (const int count : seen) {
        if (count != 1) {
            return false;
        }
    }
    return true;
}
} // namespace detail
static_assert(detail::holdsEveryControlOnce(kByTabIndex), "kByTabIndex holds every control once");
static_assert(detail::holdsEveryControlOnce(kReadingOrder),
              "kReadingOrder holds every control once");

} // namespace kestrand::layout
