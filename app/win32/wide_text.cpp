#include "app/win32/wide_text.h"

#include <climits>

namespace kestrand::win32 {
namespace {

// The conversion functions count in int; the form's texts are far shorter.
int intSize(std::size_t size) {
    return size > INT_MAX ? INT_MAX : static_cast<int>(size);
}

} // namespace

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), intSize(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), intSize(utf8.size()), wide.data(), length);
    return wide;
}

std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), intSize(utf16.size()), nullptr,
                                           0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), intSize(utf16.size()), utf8.data(), length,
                        nullptr, nullptr);
    return utf8;
}

std::string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), intSize(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return narrow(text);
}

void setWindowText(HWND window, std::string_view utf8) {
    SetWindowTextW(window, widen(utf8).c_str());
}

} // namespace kestrand::win32
