// What the tests expect of every window: its title and the display after a
// reset. Each exact message text has one owner, the rules' own suite; the
// other suites compare with what the rules produce.
#pragma once

#include "levels/entry_check.h"

#include <array>
#include <string>
#include <string_view>

namespace kestrand::testing {

inline constexpr std::string_view kTitle = "FEXO- Scenario Kestrand";

using Bands = std::array<std::string, 4>;
inline const Bands kResetBands{"0", "0", "0", "0"};

// The title the rules give a refusal, for tests that check which box came up.
[[nodiscard]] inline std::string refusalTitle(levels::Refusal refusal) {
    return levels::refusalMessage(refusal, "", 0.0, ".").title;
}
[[nodiscard]] inline std::string inputErrorTitle() {
    return levels::keystrokeRefusal().title;
}

} // namespace kestrand::testing
