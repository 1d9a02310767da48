// When start-up marks the session bus disabled: only where none can be found.
#include "app/qt/session_bus.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Case {
    const char* name;
    bool addressSet;
    bool busSocket;
    bool dbusLaunchOnPath;
    bool disabled;
};

class SkipUnreachableSessionBus : public testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kestrand-bus-" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "bin");
        saved_ = {get("DBUS_SESSION_BUS_ADDRESS"), get("XDG_RUNTIME_DIR"), get("PATH")};
    }
    void TearDown() override {
        restore("DBUS_SESSION_BUS_ADDRESS", saved_[0]);
        restore("XDG_RUNTIME_DIR", saved_[1]);
        restore("PATH", saved_[2]);
        fs::remove_all(dir_);
    }
    static std::optional<std::string> get(const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr ? std::optional<std::string>(v) : std::nullopt;
    }
    static void restore(const char* name, const std::optional<std::string>& value) {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    void makeSocket(const fs::path& path) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);
    }

    fs::path dir_;
    std::array<std::optional<std::string>, 3> saved_;
};

TEST_P(SkipUnreachableSessionBus, DisablesOnlyAHopelessBus) {
    const Case& c = GetParam();
    c.addressSet ? ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/x", 1)
                 : ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
    if (c.busSocket) {
        makeSocket(dir_ / "bus");
    } else {
        std::ofstream(dir_ / "bus") << "not a socket";
    }
    if (c.dbusLaunchOnPath) {
        const fs::path launcher = dir_ / "bin" / "dbus-launch";
        std::ofstream(launcher) << "#!/bin/sh\n";
        fs::permissions(launcher, fs::perms::owner_all);
    }
    ::setenv("PATH", ("/nonexistent::" + (dir_ / "bin").string()).c_str(), 1);

    kestrand::qtui::skipUnreachableSessionBus();
    const auto address = get("DBUS_SESSION_BUS_ADDRESS");
    if (c.disabled) {
        EXPECT_EQ(address, "disabled:");
    } else if (c.addressSet) {
        EXPECT_EQ(address, "unix:path=/x");
    } else {
        EXPECT_EQ(address, std::nullopt);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SkipUnreachableSessionBus,
                         testing::Values(Case{"AddressSet", true, false, false, false},
                                         Case{"UserBusSocket", false, true, false, false},
                                         Case{"LauncherInstalled", false, false, true, false},
                                         Case{"NothingToReach", false, false, false, true}),
                         [](const testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
