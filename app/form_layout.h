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
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 8670;
inline constexpr int kClientHeightTwips = 4095;

inline constexpr std::string_view kFontFace = "MS Sans Serif";
inline constexpr double kFontPoints = 8.25;

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
    int tabIndex;
    bool tabStop;
    // Buttons that run the entry's check before the focus may move to them.
    bool validates;
    // The text breaks at word boundaries onto further lines.
    bool wordWrap;
    std::string_view toolTip;
};

inline constexpr int kBandCount = 4;

// Enter works this button unless the focus is on another one.
inline constexpr Control kDefaultButton = Control::cmdCalculate;

// The controls in the order the form creates them, which is the order they
// stack in where two share a pixel column. Labels never take the focus, so
// their tab stops are off.
inline constexpr std::array<ControlRow, 13> kControls{{
    {Control::txtVPs,
     Kind::Entry,
     "0",
     {7440, 2040, 1095, 495},
     1,
     true,
     false,
     false,
     "Enter the Total Scenario Victory Points Here- Then Press Calculate Button (or Hit Return) "
     "to Calculate Victory Levels"},
    {Control::cmdNotes,
     Kind::Button,
     "Notes",
     {6240, 2640, 1095, 615},
     0,
     false,
     true,
     false,
     "Click Here to Display Notes on Scenario Victory Level Calculation"},
    {Control::cmdCalculate,
     Kind::Button,
     "Calculate",
     {7440, 2640, 1095, 615},
     9,
     true,
     true,
     false,
     "With a Value in the Box Above, Click to Calculate Victory Levels"},
    {Control::cmdExit,
     Kind::Button,
     "Exit",
     {7440, 3360, 1095, 615},
     8,
     true,
     false,
     false,
     "Click to Exit"},
    {Control::lblD,
     Kind::Label,
     "Draw (+/-):",
     {120, 2040, 2415, 255},
     12,
     false,
     false,
     false,
     "Values for Draw at Right"},
    {Control::lblVPs,
     Kind::Label,
     "Total Number of Scenario Victory Points:",
     {5040, 2040, 2415, 495},
     11,
     false,
     false,
     true,
     "Enter the Total Scenario Victory Points in the Text Box at Right- Press Calculate Button "
     "(or Hit Return) to Calculate Victory Levels"},
    {Control::lblNumber0,
     Kind::BandLabel,
     "0",
     {2520, 2040, 1215, 255},
     10,
     false,
     false,
     false,
     "Contains Values for Draw"},
    {Control::lblNumber3,
     Kind::BandLabel,
     "0",
     {2520, 3120, 1215, 255},
     2,
     false,
     false,
     false,
     "Contains Value for Overwhelming Victory- Value Here to Upper Value (See Notes for Details)"},
    {Control::lblNumber2,
     Kind::BandLabel,
     "0",
     {2520, 2760, 1215, 255},
     3,
     false,
     false,
     false,
     "Contains Values for Significant Victory"},
    {Control::lblNumber1,
     Kind::BandLabel,
     "0",
     {2520, 2400, 1215, 255},
     4,
     false,
     false,
     false,
     "Contains Values for Marginal Victory"},
    {Control::lblOV,
     Kind::Label,
     "Overwhelming Victory (+/-):",
     {120, 3120, 2415, 255},
     5,
     false,
     false,
     false,
     "Values for Overwhelming Victory at Right"},
    {Control::lblSV,
     Kind::Label,
     "Significant Victory: (+/-):",
     {120, 2760, 2415, 255},
     6,
     false,
     false,
     false,
     "Values for Significant Victory at Right"},
    {Control::lblMV,
     Kind::Label,
     "Marginal Victory (+/-):",
     {120, 2400, 2415, 255},
     7,
     false,
     false,
     false,
     "Values for Marginal Victory at Right"},
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

[[nodiscard]] constexpr int pixels(int twips) {
    return twips / kTwipsPerPixel;
}

namespace detail {
inline constexpr std::size_t kTabStopCount = [] {
    std::size_t count = 0;
    for (const ControlRow& row : kControls) {
        count += row.tabStop ? 1 : 0;
    }
    return count;
}();
} // namespace detail

// The tab stops in ascending tab index: the order Tab visits them in.
inline constexpr std::array<Control, detail::kTabStopCount> kTabOrder = [] {
    std::array<Control, detail::kTabStopCount> order{};
    std::size_t n = 0;
    for (const ControlRow& row : kControls) {
        if (row.tabStop) {
            order[n++] = row.id;
        }
    }
    for (std::size_t i = 1; i < n; ++i) { // insertion sort: constexpr and tiny
        for (std::size_t j = i; j > 0 && rowOf(order[j]).tabIndex < rowOf(order[j - 1]).tabIndex;
             --j) {
            const Control swapped = order[j];
            order[j] = order[j - 1];
            order[j - 1] = swapped;
        }
    }
    return order;
}();

// The order a screen reader walks the controls in: the question, its entry
// and Notes, the four levels from Draw up, each caption just before what it
// names, then the buttons Tab reaches from the entry. A Win32 reader walks
// child windows in creation order and names an entry by the label before it,
// so the Win32 window creates the controls in this order; its dialog Tab
// follows it too, so the tab stops must come in kTabOrder, as checked below.
inline constexpr std::array<Control, kControls.size()> kReadingOrder{
    Control::lblVPs,       Control::txtVPs, Control::cmdNotes,   Control::lblD,
    Control::lblNumber0,   Control::lblMV,  Control::lblNumber1, Control::lblSV,
    Control::lblNumber2,   Control::lblOV,  Control::lblNumber3, Control::cmdExit,
    Control::cmdCalculate,
};

namespace detail {
[[nodiscard]] constexpr bool tabStopsFollowTabOrder() {
    std::size_t next = 0;
    for (const Control id : kReadingOrder) {
        if (rowOf(id).tabStop && (next == kTabOrder.size() || kTabOrder[next++] != id)) {
            return false;
        }
    }
    return next == kTabOrder.size();
}
[[nodiscard]] constexpr bool namesEveryControlOnce() {
    std::array<int, kControls.size()> seen{};
    for (const Control id : kReadingOrder) {
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
static_assert(detail::namesEveryControlOnce(), "kReadingOrder holds every control once");
static_assert(detail::tabStopsFollowTabOrder(), "Tab follows the creation order on Win32");

} // namespace kestrand::layout
