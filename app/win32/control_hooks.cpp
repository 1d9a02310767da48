#include "app/win32/control_hooks.h"

#include <commctrl.h>

namespace kestrand::win32 {
namespace {

enum Hook : UINT_PTR { kEntry = 1, kButton = 2, kCheckingButton = 3 };

ControlListener& listenerOf(DWORD_PTR data) {
    return *reinterpret_cast<ControlListener*>(data);
}

LRESULT CALLBACK hookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR hook,
                          DWORD_PTR data) {
    switch (message) {
    case WM_CHAR:
        if (hook == kEntry) {
            const std::int16_t kept =
                listenerOf(data).entryCharacter(static_cast<std::int16_t>(wParam));
            if (kept == 0) {
                return 0;
            }
            wParam = static_cast<WPARAM>(static_cast<std::uint16_t>(kept));
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (hook == kCheckingButton && !listenerOf(data).mayPress(window)) {
            return 0;
        }
        break;
    case WM_SETFOCUS: {
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        listenerOf(data).focusArrived(window);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, hookProc, hook);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

void hookEntry(HWND entry, ControlListener& listener) {
    SetWindowSubclass(entry, hookProc, kEntry, reinterpret_cast<DWORD_PTR>(&listener));
}

void hookButton(HWND button, ControlListener& listener, bool checksEntry) {
    SetWindowSubclass(button, hookProc, checksEntry ? kCheckingButton : kButton,
                      reinterpret_cast<DWORD_PTR>(&listener));
}

} // namespace kestrand::win32
