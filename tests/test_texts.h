// What the tests expect of every window: its title and the display after a
// reset. Each exact message text has one owner, the rules' own suite; the
// other suites compare with what the rules produce.
#pragma once

#include "app/form_layout.h"
#include "levels/entry_check.h"

#include <array>
#include <ostream>
#include <string>
#include <string_view>

namespace levels {

// Named, not "4-byte object", when a comparison fails.
inline void PrintTo(MessageIcon icon, std::ostream* os) {
    *os << (icon == MessageIcon::Information ? "MessageIcon::Information"
                                             : "MessageIcon::Exclamation");
}
inline void PrintTo(const Message& message, std::ostream* os) {
    *os << '{' << message.title << " | " << message.text << " | ";
    PrintTo(message.icon, os);
    *os << '}';
}

} // namespace levels

namespace kestrand::testing {

inline constexpr std::string_view kTitle = "FEXO- Scenario Kestrand";

using Bands = std::array<std::string, 4>;
inline const Bands kResetBands{"0", "0", "0", "0"};

// The title the rules give a refusal, for tests that check which box came up.
[[nodiscard]] inline std::string refusalTitle(levels::Refusal refusal) {
    return levels::refusalMessage(refusal, "", 0.0, ".").title;
}
// Whether Tab, not Shift+Tab, takes the focus from one tab stop to the other.
[[nodiscard]] constexpr bool tabGoesFromTo(layout::Control from, layout::Control to) {
    const auto& cycle = layout::kTabOrder;
    for (std::size_t i = 0; i < cycle.size(); ++i) {
        if (cycle[i] == from) {
            return cycle[(i + 1) % cycle.size()] == to;
        }
    }
    return false;
}
[[nodiscard]] inline std::string inputErrorTitle() {
    return levels::keystrokeRefusal().title;
}

} // namespace kestrand::testing
