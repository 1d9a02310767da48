// The few texts only the page shows: its message box's button and icon names,
// and what stands where the window was once Exit has ended Kestrand.
#pragma once

#include "levels/message.h"

#include <string_view>

namespace kestrand::web {

inline constexpr std::string_view kOk = "OK";
inline constexpr std::string_view kEnded = "Kestrand has ended.";
inline constexpr std::string_view kStartAgain = "Start Kestrand again";

// The icon's name for a screen reader, and the sign drawn for it.
[[nodiscard]] constexpr std::string_view iconName(levels::MessageIcon icon) {
    return icon == levels::MessageIcon::Information ? "Information" : "Exclamation";
}
[[nodiscard]] constexpr std::string_view iconSign(levels::MessageIcon icon) {
    return icon == levels::MessageIcon::Information ? "i" : "!";
}

} // namespace kestrand::web
