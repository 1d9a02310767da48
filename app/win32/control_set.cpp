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

// 8.25 points: 11 pixels at 96 dots per inch, 22 at 192.
HFONT makeFont(bool bold, int dpi) {
    const std::wstring face = dpi == 96 ? widen(layout::kFontFace) : std::wstring(kScalableFace);
    const int height = -static_cast<int>(std::lround(layout::kFontPoints * dpi / 72.0));
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, face.c_str());
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
// would hide there the last stroke of its right-aligned text, once the overlap
// is wider than the blank column each glyph cell of the form's font ends with,
// as it is from 144 dots per inch up. So the label keeps its place and ends
// one pixel inside the entry, as it does at 96, where its text is whole.
int labelWidth(const layout::ControlRow& row, int dpi) {
    const int left = scaled(row.twips.left, dpi);
    const int width = scaled(row.twips.width, dpi);
    if (row.kind != Kind::Label) {
        return width;
    }
    const layout::Rect& entry = layout::rowOf(Control::txtVPs).twips;
    const bool besideEntry = row.twips.top < entry.top + entry.height &&
                             entry.top < row.twips.top + row.twips.height &&
                             row.twips.left < entry.left;
    return besideEntry ? std::min(width, scaled(entry.left, dpi) + 1 - left) : width;
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
        MoveWindow(control, scaled(row.twips.left, dpi), scaled(row.twips.top, dpi),
                   labelWidth(row, dpi), scaled(row.twips.height, dpi), TRUE);
        HFONT font = layout::isBold(row.kind) ? bold.get() : normal.get();
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
