// A modal message as the rules word it: text, title and icon.
// It says nothing about how a window shows it.
#pragma once

#include <string>

namespace levels {

// The values are the message-box styles the windowing layer expects.
enum class MessageIcon { Exclamation = 48, Information = 64 };

struct Message final {
    std::string text;
    std::string title;
    MessageIcon icon;

    bool operator==(const Message&) const = default;
};

// Lines within a message are joined by CR LF, and no break ends the text.
inline constexpr const char* kLineBreak = "\r\n";

} // namespace levels
