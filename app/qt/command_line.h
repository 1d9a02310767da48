// The two questions Kestrand answers on the command line without a window:
// its version and its usage. Every other argument is Qt's to read.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace kestrand::qtui {

// What to print for --version or --help (the first of them that is given),
// or nothing when neither is: then the window opens as usual.
[[nodiscard]] std::optional<std::string> commandLineAnswer(std::span<char* const> arguments);

} // namespace kestrand::qtui
