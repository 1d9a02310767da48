// The window kestrand.exe draws, written the way a Win32 programmer would write it in one
// file: the same frame, client size and title, the thirteen standard controls with their
// texts at the same places, the two fonts, the tooltips, the icon and the background picture
// from kestrand.exe's own resources, and a dialog-style message loop. It does nothing when
// used: no accessibility, no layout table, nothing tuned. It is what any program that shows
// this window pays to reach the screen; kestrand.exe is measured against it.
#include <windows.h>

#include <commctrl.h>

#include "resource_ids.h"

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct FormControl {
    const wchar_t* className;
    const wchar_t* text;
    int left, top, width, height; // twips
    DWORD style;
    DWORD exStyle;
    bool bold;
    bool blue;
    const wchar_t* tip;
};

constexpr DWORD kLabel = SS_RIGHT | SS_NOTIFY;

// clang-format off
const FormControl kControls[] = {
    {L"STATIC", L"Total Number of Scenario Victory Points:", 5040, 2040, 2415, 495, kLabel, 0, true, false,
     L"Enter the Total Scenario Victory Points in the Text Box at Right- Press Calculate Button (or Hit Return) to Calculate Victory Levels"},
    {L"EDIT", L"0", 7440, 2040, 1095, 495, WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, true, false,
     L"Enter the Total Scenario Victory Points Here- Then Press Calculate Button (or Hit Return) to Calculate Victory Levels"},
    {L"BUTTON", L"Notes", 6240, 2640, 1095, 615, BS_PUSHBUTTON, 0, false, false,
     L"Click Here to Display Notes on Scenario Victory Level Calculation"},
    {L"STATIC", L"Draw (+/-):", 120, 2040, 2415, 255, kLabel, 0, true, false, L"Values for Draw at Right"},
    {L"STATIC", L"0", 2520, 2040, 1215, 255, kLabel, WS_EX_STATICEDGE, true, true, L"Contains Values for Draw"},
    {L"STATIC", L"Marginal Victory (+/-):", 120, 2400, 2415, 255, kLabel, 0, true, false,
     L"Values for Marginal Victory at Right"},
    {L"STATIC", L"0", 2520, 2400, 1215, 255, kLabel, WS_EX_STATICEDGE, true, true,
     L"Contains Values for Marginal Victory"},
    {L"STATIC", L"Significant Victory: (+/-):", 120, 2760, 2415, 255, kLabel, 0, true, false,
     L"Values for Significant Victory at Right"},
    {L"STATIC", L"0", 2520, 2760, 1215, 255, kLabel, WS_EX_STATICEDGE, true, true,
     L"Contains Values for Significant Victory"},
    {L"STATIC", L"Overwhelming Victory (+/-):", 120, 3120, 2415, 255, kLabel, 0, true, false,
     L"Values for Overwhelming Victory at Right"},
    {L"STATIC", L"0", 2520, 3120, 1215, 255, kLabel, WS_EX_STATICEDGE, true, true,
     L"Contains Value for Overwhelming Victory- Value Here to Upper Value (See Notes for Details)"},
    {L"BUTTON", L"Exit", 7440, 3360, 1095, 615, WS_TABSTOP | BS_PUSHBUTTON, 0, false, false, L"Click to Exit"},
    {L"BUTTON", L"Calculate", 7440, 2640, 1095, 615, WS_TABSTOP | BS_DEFPUSHBUTTON, 0, false, false,
     L"With a Value in the Box Above, Click to Calculate Victory Levels"},
};
// clang-format on
constexpr int kEntry = 1;

HFONT boldFont;
HFONT normalFont;
HBITMAP background;

int pixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

void createControls(HWND window, HINSTANCE instance) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int height = -MulDiv(33, dpi, 4 * 72); // 8.25 points
    boldFont = CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    normalFont = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
    background = LoadBitmapW(instance, MAKEINTRESOURCEW(IDB_BACKGROUND));

    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                instance, nullptr);
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, MulDiv(300, dpi, 96));
    int id = 1000;
    for (const FormControl& item : kControls) {
        HWND control = CreateWindowExW(
            item.exStyle, item.className, item.text, WS_CHILD | WS_VISIBLE | item.style,
            pixels(item.left, dpi), pixels(item.top, dpi), pixels(item.width, dpi),
            pixels(item.height, dpi), window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)),
            instance, nullptr);
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(item.bold ? boldFont : normalFont), FALSE);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<wchar_t*>(item.tip);
        SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SetFocus(GetDlgItem(window, 1000 + kEntry));
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        createControls(window, reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance);
        return 0;
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, background);
        BitBlt(dc, 0, 0, 580, 276, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
        return 1;
    }
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool band = (GetWindowLongW(reinterpret_cast<HWND>(lParam), GWL_EXSTYLE) &
                           WS_EX_STATICEDGE) != 0;
        SetTextColor(dc, band ? RGB(0, 0, 255) : GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_CTLCOLOREDIT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(255, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == 1000 + 11) {
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KESTRAND));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_KESTRAND), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"KestrandForm";
    if (RegisterClassExW(&wc) == 0)
        return 1;

    RECT rect{0, 0, 578, 273};
    AdjustWindowRectEx(&rect, kStyle, FALSE, 0);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"FEXO- Scenario Kestrand", kStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, rect.right - rect.left,
                                  rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    ShowWindow(window, showCommand);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
