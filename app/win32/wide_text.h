// UTF-8 to UTF-16 and back where the form's texts meet the Windows API, and
// window texts read and written as UTF-8. No code pages, no line-break changes.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kestrand::win32 {

[[nodiscard]] std::wstring widen(std::string_view utf8);
[[nodiscard]] std::string narrow(std::wstring_view utf16);

[[nodiscard]] std::string windowText(HWND window);
void setWindowText(HWND window, std::string_view utf8);

} // namespace kestrand::win32
