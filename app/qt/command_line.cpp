#include "app/qt/command_line.h"

#include "kestrand_version.h"

#include <string_view>

namespace kestrand::qtui {

std::optional<std::string> commandLineAnswer(std::span<char* const> arguments) {
    for (const char* argument : arguments.subspan(arguments.empty() ? 0 : 1)) {
        const std::string_view given = argument != nullptr ? argument : "";
        if (given == "--version") {
            return "Kestrand " KESTRAND_VERSION_TEXT "\n";
        }
        if (given == "--help" || given == "-h") {
            return "Usage: kestrand [QT-OPTION...]\n"
                   "Opens one small window that works out a wargame scenario's victory levels\n"
                   "from its total of victory points.\n"
                   "\n"
                   "  -h, --help  print this help and exit\n"
                   "  --version   print the version and exit\n"
                   "\n"
                   "The options every Qt program takes are accepted, such as -platform NAME.\n";
        }
    }
    return std::nullopt;
}

} // namespace kestrand::qtui
