#include "app/win32/control_set.h"

#include "app/win32/wide_text.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

namespace kestrand::win32 {
namespace {

using layout::Control;
using layout::Kind;

constexpr int kFirstCommandId = 1000;

// Tooltips wrap at this width (at 96 dots per inch), about 50 characters.
constexpr int kToolTipWidth = 300;

// "MS Sans Serif" is a bitmap face whose 8-point size is drawn for 96 dots per
// inch; at any other density Windows would stretch it into blurred, ragged
// glyphs. Its TrueType twin, with the same metrics and on every Windows since
// 2000, draws the form at those densities.
constexpr std::wstring_view kScalableFace = L"Microsoft Sans Serif";

HFONT createFont(bool bold, int height, const std::wstring& face) {
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, face.c_str());
}

// What the font draws: its metrics, and how many blank columns its glyph for
// the given character leaves after its strokes (none known for a bitmap face).
struct Drawn final {
    TEXTMETRICW metrics{};
    int blankAfter = 0;
};

Drawn drawn(HFONT font, wchar_t character) {
    Drawn result;
    HDC dc = GetDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    GetTextMetricsW(dc, &result.metrics);
    ABC widths{};
    if ((result.metrics.tmPitchAndFamily & TMPF_TRUETYPE) != 0 &&
        GetCharABCWidthsW(dc, character, character, &widths)) {
        result.blankAfter = std::max(0, widths.abcC);
    }
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return result;
}

// 8.25 points: 11 pixels at 96 dots per inch, 22 at 192. The bitmap face is
// installed for the density Windows was set up at: where that was 120 or more,
// its "8-point" glyphs are 13 pixels high, and the captions would not fit.
// There, as at every other density, the TrueType twin draws the form.
HFONT makeFont(bool bold, int dpi) {
    const int height = -static_cast<int>(std::lround(layout::kFontPoints * dpi / 72.0));
    if (dpi == 96) {
        HFONT bitmap = createFont(bold, height, widen(layout::kFontFace));
        const TEXTMETRICW metrics = drawn(bitmap, L' ').metrics;
        const bool raster = (metrics.tmPitchAndFamily & (TMPF_TRUETYPE | TMPF_VECTOR)) == 0;
        if (!raster || metrics.tmHeight - metrics.tmInternalLeading == -height) {
            return bitmap;
        }
        DeleteObject(bitmap);
    }
    return createFont(bold, height, std::wstring(kScalableFace));
}

struct WindowKind final {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

WindowKind windowKind(const layout::ControlRow& row) {
    const DWORD tabStop = row.tabStop ? WS_TABSTOP : 0;
    switch (row.kind) {
    case Kind::Entry:
        return {WC_EDITW, tabStop | ES_RIGHT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case Kind::Button: {
        const DWORD type = row.id == layout::kDefaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        return {WC_BUTTONW, tabStop | type, 0};
    }
    case Kind::Label:
        // SS_NOTIFY makes the label take the mouse, so its tooltip can show.
        return {WC_STATICW, SS_RIGHT | SS_NOTIFY, 0};
    case Kind::BandLabel:
        return {WC_STATICW, SS_RIGHT | SS_NOTIFY, WS_EX_STATICEDGE};
    }
    return {WC_STATICW, 0, 0};
}

} // namespace

int scaled(int twips, int dpi) {
    return MulDiv(twips, dpi, layout::kTwipsPerInch);
}

namespace {

// A label that runs on under the entry's border (the question, by 15 twips)
// would hide there the last stroke of its right-aligned text. So the label
// keeps its place and ends inside the entry by no more than the blank column
// its font's last glyph ends with: one pixel where there is one, as at 96 dpi
// with the TrueType face; none for a bitmap face, whose emboldened strokes
// reach the end of the cell.
int labelWidth(const layout::ControlRow& row, int dpi, HFONT font) {
    const int left = scaled(row.twips.left, dpi);
    const int width = scaled(row.twips.width, dpi);
    if (row.kind != Kind::Label) {
        return width;
    }
    const layout::Rect& entry = layout::rowOf(Control::txtVPs).twips;
    const bool besideEntry = row.twips.top < entry.top + entry.height &&
                             entry.top < row.twips.top + row.twips.height &&
                             row.twips.left < entry.left;
    if (!besideEntry) {
        return width;
    }
    const std::wstring text = widen(row.text);
    const int under = text.empty() ? 0 : std::min(1, drawn(font, text.back()).blankAfter);
    return std::min(width, scaled(entry.left, dpi) + under - left);
}

} // namespace

ControlSet::ControlSet(HWND parent, HINSTANCE instance, int dpi) {
    toolTips_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance, nullptr);
    for (const Control id : layout::kReadingOrder) {
        const layout::ControlRow* row = &layout::rowOf(id);
        const WindowKind kind = windowKind(*row);
        const std::wstring text = widen(row->text);
        HWND control = CreateWindowExW(
            kind.exStyle, kind.className, text.c_str(), WS_CHILD | WS_VISIBLE | kind.style, 0, 0, 0,
            0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(commandId(row->id))), instance,
            nullptr);
        addToolTip(parent, control, *row);
        if (row->kind == Kind::Entry) {
            // The entry has no length limit: a paste is never cut short.
            SendMessageW(control, EM_SETLIMITTEXT, 0, 0);
            moveCaretToEnd(control);
        }
        windows_[layout::slot(row->id)] = control;
    }
    applyDpi(dpi);
}

void ControlSet::applyDpi(int dpi) {
    Font bold(makeFont(true, dpi));
    Font normal(makeFont(false, dpi));
    for (const layout::ControlRow& row : layout::kControls) {
        HWND control = window(row.id);
        HFONT font = layout::isBold(row.kind) ? bold.get() : normal.get();
        MoveWindow(control, scaled(row.twips.left, dpi), scaled(row.twips.top, dpi),
                   labelWidth(row, dpi, font), scaled(row.twips.height, dpi), TRUE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    // The controls now draw with the new fonts; the old ones may go.
    bold_ = std::move(bold);
    normal_ = std::move(normal);
    SendMessageW(toolTips_, TTM_SETMAXTIPWIDTH, 0, MulDiv(kToolTipWidth, dpi, 96));
}

void ControlSet::addToolTip(HWND parent, HWND control, const layout::ControlRow& row) {
    std::wstring text = widen(row.toolTip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool; // the manifest asks for common controls 6

    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data(); // copied by the tooltip control
    SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

HWND ControlSet::window(Control id) const {
    return windows_[layout::slot(id)];
}

std::optional<Control> ControlSet::find(HWND window) const {
    const auto at = std::find(windows_.begin(), windows_.end(), window);
    if (window == nullptr || at == windows_.end()) {
        return std::nullopt;
    }
    return static_cast<Control>(at - windows_.begin());
}

void moveCaretToEnd(HWND entry) {
    const int length = GetWindowTextLengthW(entry);
    SendMessageW(entry, EM_SETSEL, static_cast<WPARAM>(length), length);
}

int ControlSet::commandId(Control id) {
    return kFirstCommandId + static_cast<int>(id);
}

std::optional<Control> ControlSet::fromCommandId(int commandId) {
    const int index = commandId - kFirstCommandId;
    if (index < 0 || index >= static_cast<int>(layout::kControls.size())) {
        return std::nullopt;
    }
    return static_cast<Control>(index);
}

} // namespace kestrand::win32
