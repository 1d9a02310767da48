// What a message box shows of a message: a line too long for any screen is
// cut in the middle. The message itself, as the rules word it, is unchanged.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestrand {

// Characters (code points) a box line may hold: at the form's font this stays
// well inside a 1024-pixel-wide screen, icon and margins included.
inline constexpr std::size_t kLongestBoxLine = 100;

// The UTF-8 text with each line over kLongestBoxLine characters kept to its
// first and last halves around "…"; nothing when every line fits. Line
// breaks, CR LF or LF, stay as they are.
[[nodiscard]] std::optional<std::string> shortenedForBox(std::string_view text);

} // namespace kestrand
