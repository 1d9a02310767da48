#include "app/win32/control_set.h"

#include "app/win32/wide_text.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

namespace kestrand::win32 {
namespace {

using layout::Control;
using layout::Kind;

constexpr int kFirstCommandId = 1000;

// The layout's point size at the screen's resolution: 8.25 pt is 11 pixels
// at 96 dots per inch.
int fontHeight() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return -static_cast<int>(std::lround(layout::kFontPoints * dpi / 72.0));
}

HFONT makeFont(bool bold) {
    const std::wstring face = widen(layout::kFontFace);
    return CreateFontW(fontHeight(), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
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

ControlSet::ControlSet(HWND parent, HINSTANCE instance)
    : bold_(makeFont(true)), normal_(makeFont(false)) {
    toolTips_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance, nullptr);
    for (const Control id : layout::kReadingOrder) {
        const layout::ControlRow* row = &layout::rowOf(id);
        const WindowKind kind = windowKind(*row);
        const std::wstring text = widen(row->text);
        HWND control = CreateWindowExW(
            kind.exStyle, kind.className, text.c_str(), WS_CHILD | WS_VISIBLE | kind.style,
            layout::pixels(row->twips.left), layout::pixels(row->twips.top),
            layout::pixels(row->twips.width), layout::pixels(row->twips.height), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(commandId(row->id))), instance, nullptr);
        HFONT font = layout::isBold(row->kind) ? bold_.get() : normal_.get();
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        addToolTip(parent, control, *row);
        if (row->kind == Kind::Entry) {
            moveCaretToEnd(control);
        }
        windows_[layout::slot(row->id)] = control;
    }
}

void ControlSet::addToolTip(HWND parent, HWND control, const layout::ControlRow& row) {
    std::wstring text = widen(row.toolTip);
    TTTOOLINFOW tool{};
    // The version-5 size: without a manifest the version-6 struct is refused.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
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
