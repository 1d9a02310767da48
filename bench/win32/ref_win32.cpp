// The floor for a Win32 window under Wine: Kestrand's frame, client size and title, and a
// message loop; no controls, no resources. Built twice: bare, and themed (KESTRAND_THEMED),
// with kestrand.exe's manifest and its common-controls initialisation, which load the
// version-6 controls any program of the current Windows look pays for. Whatever kestrand.exe
// takes beyond the themed one to reach the screen is its own start-up cost.
#include <windows.h>

#ifdef KESTRAND_THEMED
#include <commctrl.h>
#endif

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kClientWidth = 578;
constexpr int kClientHeight = 273;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
#ifdef KESTRAND_THEMED
    INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
#endif
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"KestrandReference";
    if (RegisterClassExW(&wc) == 0)
        return 1;

    // The frame's metrics differ between systems and themes; the client area must not.
    RECT rect{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&rect, kStyle, FALSE, 0);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"FEXO- Scenario Kestrand", kStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, rect.right - rect.left,
                                  rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr)
        return 1;
    ShowWindow(window, showCommand);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
