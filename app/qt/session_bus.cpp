#include "app/qt/session_bus.h"

#include <cstdlib>
#include <string>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

namespace kestrand::qtui {
namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

bool userBusSocketExists() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') {
        return false;
    }
    struct stat info {};
    return ::stat((std::string(runtime) + "/bus").c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

bool onPath(std::string_view program) {
    const char* path = std::getenv("PATH");
    std::string_view dirs = path != nullptr ? path : "";
    while (!dirs.empty()) {
        const std::size_t colon = dirs.find(':');
        const std::string_view dir = dirs.substr(0, colon);
        if (!dir.empty()) {
            const std::string candidate = std::string(dir) + "/" + std::string(program);
            if (::access(candidate.c_str(), X_OK) == 0) {
                return true;
            }
        }
        dirs = colon == std::string_view::npos ? std::string_view{} : dirs.substr(colon + 1);
    }
    return false;
}

} // namespace

void skipUnreachableSessionBus() {
    if (isSet("DBUS_SESSION_BUS_ADDRESS") || userBusSocketExists() || onPath("dbus-launch")) {
        return;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 0);
}

} // namespace kestrand::qtui
