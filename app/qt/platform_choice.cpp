#include "app/qt/platform_choice.h"

#include <cstdlib>

#include <sys/stat.h>

namespace kestrand::qtui {
namespace {

bool isSet(const std::optional<std::string>& value) {
    return value && !value->empty();
}

bool choosesPlatform(std::string_view argument) {
    // Qt takes its options with one dash or two.
    return argument == "-platform" || argument == "--platform";
}

// ":1", ":1.0" and "unix:1" are local displays whose socket can be looked for;
// a display on another host is taken as reachable, as Qt would try it.
bool xDisplayReachable(const std::string& display, const SocketExists& socketExists) {
    const std::size_t colon = display.rfind(':');
    if (colon == std::string::npos) {
        return false;
    }
    const std::string host = display.substr(0, colon);
    if (!host.empty() && host != "unix") {
        return true;
    }
    const std::string number = display.substr(colon + 1, display.find('.', colon) - colon - 1);
    return !number.empty() && socketExists("/tmp/.X11-unix/X" + number);
}

} // namespace

std::optional<std::string> platformForSummary(std::span<char* const> arguments,
                                              const Environment& environment,
                                              const SocketExists& socketExists) {
    if (isSet(environment("QT_QPA_PLATFORM"))) {
        return std::nullopt;
    }
    for (const char* argument : arguments) {
        if (argument != nullptr && choosesPlatform(argument)) {
            return std::nullopt;
        }
    }
    const bool waylandSession =
        isSet(environment("WAYLAND_DISPLAY")) || environment("XDG_SESSION_TYPE") == "wayland";
    const std::optional<std::string> display = environment("DISPLAY");
    if (!waylandSession || !isSet(display) || !xDisplayReachable(*display, socketExists)) {
        return std::nullopt;
    }
    return "xcb;wayland";
}

void preferXInWaylandSession(int argc, char* argv[]) {
    const auto environment = [](std::string_view name) -> std::optional<std::string> {
        const char* value = std::getenv(std::string(name).c_str());
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto socketExists = [](const std::string& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
    };
    const auto platform = platformForSummary(
        std::span<char* const>(argv, static_cast<std::size_t>(argc)), environment, socketExists);
    if (platform) {
        ::setenv("QT_QPA_PLATFORM", platform->c_str(), 1);
    }
}

} // namespace kestrand::qtui
