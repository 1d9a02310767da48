// The few things the form asks of a windowing system: texts, focus, title,
// state and a modal message box. It knows nothing of widgets or message loops.
#pragma once

#include "app/form_layout.h"
#include "levels/message.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrand {

enum class FocusTarget { Entry, Exit };

[[nodiscard]] constexpr layout::Control controlOf(FocusTarget target) {
    return target == FocusTarget::Entry ? layout::Control::txtVPs : layout::Control::cmdExit;
}

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

struct IndexBounds final {
    std::int16_t lowest;
    std::int16_t highest;
};

// Texts are UTF-8. Every call happens on the user-interface thread.
class UiServices {
public:
    virtual ~UiServices() = default;

    [[nodiscard]] virtual std::string entryText() const = 0;
    virtual void setEntryText(std::string_view text) = 0;
    virtual void setFocus(FocusTarget target) = 0;

    // The lblNumber array is the layout's, the same in every window.
    [[nodiscard]] IndexBounds bandBounds() const { return {0, layout::kBandCount - 1}; }
    [[nodiscard]] virtual std::string bandCaption(std::int16_t index) const = 0;
    virtual void setBandCaption(std::int16_t index, std::string_view caption) = 0;
    // The bands hold new results: a screen reader says them once, each with
    // its caption (spokenResults), as the focus next moves, which the form
    // does at once. Neither the screen nor the focus changes for it.
    virtual void announceBands() = 0;

    [[nodiscard]] virtual std::string title() const = 0;
    virtual void setTitle(std::string_view title) = 0;
    [[nodiscard]] virtual WindowState windowState() const = 0;

    // The user's decimal separator, for numbers quoted in messages.
    [[nodiscard]] virtual std::string decimalSeparator() const = 0;

    // Modal: returns once the user has closed the box.
    virtual void showMessage(const levels::Message& message) = 0;

    // Closes the window and ends the process; nothing of the form runs after.
    virtual void unloadAndEnd() = 0;
};

} // namespace kestrand
