#include "app/win32/main_window.h"

#include "app/readable_colours.h"
#include "app/win32/band_voice.h"
#include "app/win32/wide_text.h"
#include "resource_ids.h"

#include <commctrl.h>

#include <algorithm>

namespace kestrand::win32 {
namespace {

using layout::Control;
using layout::Kind;

constexpr const wchar_t* kClassName = L"KestrandWindow";

COLORREF colorRef(layout::Rgb rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

layout::Rgb rgbOf(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

// The system colours the form stands on, and whether High Contrast is on.
Scheme systemScheme() {
    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof highContrast;
    const bool on =
        SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
        (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
    return {.buttonFace = rgbOf(GetSysColor(COLOR_BTNFACE)),
            .buttonText = rgbOf(GetSysColor(COLOR_BTNTEXT)),
            .windowBackground = rgbOf(GetSysColor(COLOR_WINDOW)),
            .windowText = rgbOf(GetSysColor(COLOR_WINDOWTEXT)),
            .highContrast = on};
}

// A function of user32 that older Windows lack, or null there.
template <typename Function> Function user32Function(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// The window's own density where Windows keeps one per window (10 and later),
// the system's otherwise.
int dpiOf(HWND window) {
    using GetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindow>("GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The outer size whose client area is the layout's at dpi, with the frame
// measured at that dpi where Windows can.
SIZE windowSize(int dpi) {
    RECT rect{0, 0, scaled(layout::kClientWidthTwips, dpi),
              scaled(layout::kClientHeightTwips, dpi)};
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (adjustForDpi != nullptr) {
        adjustForDpi(&rect, MainWindow::kStyle, FALSE, 0, static_cast<UINT>(dpi));
    } else {
        AdjustWindowRectEx(&rect, MainWindow::kStyle, FALSE, 0);
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

void MainWindow::registerClassOnce(HINSTANCE instance) {
    static const ATOM atom = [instance] {
        INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&common);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &MainWindow::windowProc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KESTRAND));
        wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KESTRAND),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc);
    }();
    (void)atom;
}

MainWindow::MainWindow(HINSTANCE instance) {
    registerClassOnce(instance);
    const std::wstring title = widen(layout::kTitle);
    // The size messages sent while it is made find no form attached, so they
    // are not taken for the first showing.
    CreateWindowExW(0, kClassName, title.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    // Only the window knows its monitor's density, so it is sized once it exists.
    dpi_ = dpiOf(window_);
    const SIZE size = windowSize(dpi_);
    SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    ink_ = readableInk(systemScheme());
    controls_.emplace(window_, instance, dpi_);
    for (const layout::ControlRow& row : layout::kControls) {
        if (row.kind == Kind::Entry) {
            hookEntry(control(row.id), *this);
        } else if (row.kind == Kind::Button) {
            hookButton(control(row.id), *this, row.validates);
        }
    }
    for (int i = 0; i < layout::kBandCount; ++i) {
        voiceBandLabel(control(layout::bandControl(i)), i);
    }
    lastFocus_ = control(Control::txtVPs);
}

MainWindow::~MainWindow() {
    if (window_ != nullptr) {
        form_ = nullptr;
        DestroyWindow(window_);
    }
}

void MainWindow::attach(Kestrand& form) {
    form_ = &form;
}

void MainWindow::show(int showCommand) {
    ShowWindow(window_, showCommand);
    if (form_ != nullptr) {
        form_->windowShown();
    }
}

void MainWindow::process(MSG& message) {
    if (tabRefused(message) || enterInEntry(message) || helpKey(message)) {
        return;
    }
    if (window_ != nullptr && IsDialogMessageW(window_, &message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        // A label's click notification has the same code as a button's; only
        // buttons act on it.
        if (HIWORD(wParam) == BN_CLICKED) {
            if (const auto id = ControlSet::fromCommandId(LOWORD(wParam))) {
                clicked(*id);
            }
        }
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(ControlSet::commandId(layout::kDefaultButton), DC_HASDEFID);
    case WM_SIZE:
        resized();
        return 0;
    case WM_GETMINMAXINFO: {
        // The layout decides the size, even where it is larger than the screen
        // Windows would otherwise hold the window to.
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        const SIZE size = windowSize(dpi_);
        limits->ptMaxTrackSize.x = std::max(limits->ptMaxTrackSize.x, size.cx);
        limits->ptMaxTrackSize.y = std::max(limits->ptMaxTrackSize.y, size.cy);
        return 0;
    }
    case WM_DPICHANGED:
        movedToDpi(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SETFOCUS:
        // Activation gives the focus back to the control that had it last.
        SetFocus(lastFocus_);
        return 0;
    case WM_ERASEBKGND:
        paintBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_CTLCOLORSTATIC:
        return labelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        schemeChanged(message, wParam, lParam);
        return 0;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETHIGHCONTRAST) {
            schemeChanged(message, wParam, lParam);
        }
        return DefWindowProcW(window_, message, wParam, lParam);
    case WM_CTLCOLOREDIT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, colorRef(ink_.entryText));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_NCDESTROY: {
        const HWND window = window_;
        window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// High Contrast, the system colours or the theme changed: the ink is judged
// anew and everything painted again. The common controls hear of the
// colours only from their parent.
void MainWindow::schemeChanged(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOLORCHANGE) {
        for (const layout::ControlRow& row : layout::kControls) {
            SendMessageW(control(row.id), message, wParam, lParam);
        }
        SendMessageW(controls_->toolTips(), message, wParam, lParam);
    }
    ink_ = readableInk(systemScheme());
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::clicked(Control id) {
    if (form_ != nullptr) {
        form_->click(id);
    }
}

void MainWindow::resized() {
    if (form_ != nullptr) {
        form_->Form_Resize();
    }
}

// Windows suggests where the window goes on a monitor of another density; the
// controls and their fonts follow.
void MainWindow::movedToDpi(int dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    controls_->applyDpi(dpi_);
    InvalidateRect(window_, nullptr, TRUE);
}

// The picture is drawn from the top-left corner at its own size at 96 dots per
// inch, a little larger than the client area, which clips it; at other
// densities it is scaled with the layout, so it still covers the client area.
// In High Contrast it gives way to the button face, as Windows asks.
void MainWindow::paintBackground(HDC dc) {
    RECT client{};
    GetClientRect(window_, &client);
    // Decoded at the first paint, once the window is on screen.
    if (ink_.picture && !background_) {
        background_.reset(static_cast<HBITMAP>(
            LoadImageW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)),
                       MAKEINTRESOURCEW(IDB_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    }
    BITMAP picture{};
    if (!ink_.picture || !background_ ||
        GetObjectW(background_.get(), sizeof picture, &picture) == 0) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    const int width = MulDiv(picture.bmWidth, dpi_, 96);
    const int height = MulDiv(picture.bmHeight, dpi_, 96);
    if (width < client.right || height < client.bottom) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ previous = SelectObject(source, background_.get());
    if (width == picture.bmWidth && height == picture.bmHeight) {
        BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    } else {
        const int oldMode = SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr); // as HALFTONE requires
        StretchBlt(dc, 0, 0, width, height, source, 0, 0, picture.bmWidth, picture.bmHeight,
                   SRCCOPY);
        SetStretchBltMode(dc, oldMode);
    }
    SelectObject(source, previous);
    DeleteDC(source);
}

// Labels are opaque in the button face, band labels in blue or what reads in its place.
LRESULT MainWindow::labelColours(HDC dc, HWND label) const {
    const auto id = controls_->find(label);
    const bool band = id && layout::rowOf(*id).kind == Kind::BandLabel;
    SetTextColor(dc, band ? colorRef(ink_.bandText) : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// Enter in the entry is the form's to act on; the dialog manager would turn
// it into a click of the default button before the form could tell the two apart.
bool MainWindow::enterInEntry(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN || form_ == nullptr ||
        GetFocus() != control(Control::txtVPs)) {
        return false;
    }
    form_->enterInEntry();
    return true;
}

bool MainWindow::helpKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_F1 || form_ == nullptr) {
        return false;
    }
    form_->helpKey();
    return true;
}

bool MainWindow::tabRefused(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || window_ == nullptr) {
        return false;
    }
    // The same target the dialog manager is about to choose.
    const bool backwards = GetKeyState(VK_SHIFT) < 0;
    return !mayLeaveEntryFor(GetNextDlgTabItem(window_, GetFocus(), backwards));
}

bool MainWindow::mayLeaveEntryFor(HWND target) {
    const auto id = controls_->find(target);
    return form_ == nullptr || GetFocus() != control(Control::txtVPs) || !id ||
           form_->mayLeaveEntryFor(*id);
}

// Enter works the focused button; elsewhere, the default one.
void MainWindow::setDefaultButton(Control chosen) {
    for (const layout::ControlRow& row : layout::kControls) {
        if (row.kind == Kind::Button) {
            const WPARAM style = row.id == chosen ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            SendMessageW(control(row.id), BM_SETSTYLE, style, TRUE);
        }
    }
}

// A carriage return that reaches the entry itself, not through the dialog
// keys, works the default button as Enter does.
std::int16_t MainWindow::entryCharacter(std::int16_t code) {
    if (form_ == nullptr) {
        return code;
    }
    const std::int16_t kept = form_->txtVPs_KeyPress(code);
    if (kept == '\r') {
        form_->enterInEntry();
        return 0;
    }
    return kept;
}

bool MainWindow::mayPress(HWND button) {
    return mayLeaveEntryFor(button);
}

void MainWindow::focusArrived(HWND control) {
    lastFocus_ = control;
    const auto id = controls_->find(control);
    const bool onButton = id && layout::rowOf(*id).kind == Kind::Button;
    setDefaultButton(onButton ? *id : layout::kDefaultButton);
}

} // namespace kestrand::win32
