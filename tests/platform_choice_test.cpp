// Where a Wayland session's Kestrand runs: X when it can, so that minimizing
// is reported; otherwise Qt's own choice, and always the user's.
#include "app/qt/platform_choice.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

struct ChoiceRow {
    const char* name;
    std::map<std::string, std::string> environment;
    std::vector<std::string> arguments;
    std::optional<std::string> platform;
};

class PlatformForSummary : public testing::TestWithParam<ChoiceRow> {};

TEST_P(PlatformForSummary, PicksXOnlyWhereNobodyChoseAndXIsThere) {
    const ChoiceRow& row = GetParam();
    std::vector<std::string> storage{"kestrand"};
    storage.insert(storage.end(), row.arguments.begin(), row.arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : storage) {
        argv.push_back(argument.data());
    }
    const auto environment = [&row](std::string_view name) -> std::optional<std::string> {
        const auto found = row.environment.find(std::string(name));
        return found == row.environment.end() ? std::nullopt : std::optional(found->second);
    };
    // Only display 1 has a socket.
    const auto socketExists = [](const std::string& path) { return path == "/tmp/.X11-unix/X1"; };
    EXPECT_EQ(kestrand::qtui::platformForSummary(argv, environment, socketExists), row.platform);
}

const std::map<std::string, std::string> kWaylandSession{
    {"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1"}};

std::map<std::string, std::string> with(std::map<std::string, std::string> environment,
                                        const std::string& name, const std::string& value) {
    environment[name] = value;
    return environment;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlatformForSummary,
    testing::Values(
        ChoiceRow{"WaylandWithXWayland", kWaylandSession, {}, "xcb;wayland"},
        ChoiceRow{"WaylandDisplayOnly",
                  {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":1"}},
                  {},
                  "xcb;wayland"},
        ChoiceRow{"SessionTypeOnly",
                  {{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":1.0"}},
                  {},
                  "xcb;wayland"},
        ChoiceRow{
            "UnixPrefixedDisplay", with(kWaylandSession, "DISPLAY", "unix:1"), {}, "xcb;wayland"},
        ChoiceRow{
            "RemoteDisplayIsTried", with(kWaylandSession, "DISPLAY", "host:0"), {}, "xcb;wayland"},
        ChoiceRow{"UserChoseByVariable",
                  with(kWaylandSession, "QT_QPA_PLATFORM", "wayland"),
                  {},
                  std::nullopt},
        ChoiceRow{"UserChoseByArgument", kWaylandSession, {"-platform", "wayland"}, std::nullopt},
        ChoiceRow{
            "UserChoseByDoubleDash", kWaylandSession, {"--platform", "wayland"}, std::nullopt},
        ChoiceRow{"EmptyVariableIsNoChoice",
                  with(kWaylandSession, "QT_QPA_PLATFORM", ""),
                  {},
                  "xcb;wayland"},
        ChoiceRow{"NoXWayland", {{"WAYLAND_DISPLAY", "wayland-0"}}, {}, std::nullopt},
        ChoiceRow{
            "XDisplayWithoutSocket", with(kWaylandSession, "DISPLAY", ":7"), {}, std::nullopt},
        ChoiceRow{
            "MalformedDisplay", with(kWaylandSession, "DISPLAY", "nonsense"), {}, std::nullopt},
        ChoiceRow{"X11Session", {{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":1"}}, {}, std::nullopt},
        ChoiceRow{"NoSessionAtAll", {}, {}, std::nullopt}),
    [](const testing::TestParamInfo<ChoiceRow>& info) { return std::string(info.param.name); });

} // namespace
