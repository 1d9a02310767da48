// Decides, before Qt starts, which window system a Wayland session's Kestrand
// runs through. It only ever puts X first; the user's own choice always stands.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestrand::qtui {

// Reads one environment variable; nothing when it is unset.
using Environment = std::function<std::optional<std::string>(std::string_view name)>;
// Whether a local X display's socket exists.
using SocketExists = std::function<bool(const std::string& path)>;

// Wayland has no minimized state a client is told of, so under Wayland the
// minimized title (the reason to minimize Kestrand) would never show. In a
// Wayland session with an X display at hand (XWayland), and no platform chosen
// by QT_QPA_PLATFORM or -platform, the answer is "xcb;wayland": Qt tries X
// and, where that display cannot be reached after all (a stale socket, a
// host nobody answers on), falls back to Wayland. Otherwise nothing, and Qt
// chooses as it always does.
[[nodiscard]] std::optional<std::string> platformForSummary(std::span<char* const> arguments,
                                                            const Environment& environment,
                                                            const SocketExists& socketExists);

// The same for this process: sets QT_QPA_PLATFORM where there is an answer.
void preferXInWaylandSession(int argc, char* argv[]);

} // namespace kestrand::qtui
