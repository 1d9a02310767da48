#include "app/win32/control_hooks.h"

#include <commctrl.h>

namespace kestrand::win32 {
namespace {

// The subclass id says which control a procedure call is for.
enum class Hook : UINT_PTR { Entry = 1, Button = 2, CheckingButton = 3 };

ControlListener& listenerOf(DWORD_PTR data) {
    return *reinterpret_cast<ControlListener*>(data);
}

LRESULT CALLBACK hookProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                          DWORD_PTR data) {
    const auto hook = static_cast<Hook>(id);
    switch (message) {
    case WM_CHAR:
        if (hook == Hook::Entry) {
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
        if (hook == Hook::CheckingButton && !listenerOf(data).mayPress(window)) {
            return 0;
        }
        break;
    case WM_SETFOCUS: {
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        listenerOf(data).focusArrived(window);
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, hookProc, id);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

void hookEntry(HWND entry, ControlListener& listener) {
    SetWindowSubclass(entry, hookProc, static_cast<UINT_PTR>(Hook::Entry),
                      reinterpret_cast<DWORD_PTR>(&listener));
}

void hookButton(HWND button, ControlListener& listener, bool checksEntry) {
    const Hook hook = checksEntry ? Hook::CheckingButton : Hook::Button;
    SetWindowSubclass(button, hookProc, static_cast<UINT_PTR>(hook),
                      reinterpret_cast<DWORD_PTR>(&listener));
}

} // namespace kestrand::win32
