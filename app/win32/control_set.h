// The thirteen child controls built from the layout table: their windows,
// fonts and tooltips, and lookups between them. It routes no message.
#pragma once

#include "app/form_layout.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <type_traits>

namespace kestrand::win32 {

// A length of the layout in pixels at dpi dots per inch.
[[nodiscard]] int scaled(int twips, int dpi);

class ControlSet final {
public:
    // Creates the controls inside parent in the layout's reading order, which
    // is also the order the dialog manager's Tab follows, laid out for dpi.
    ControlSet(HWND parent, HINSTANCE instance, int dpi);

    // Places every control and sizes its font and the tooltips' width for dpi.
    void applyDpi(int dpi);

    [[nodiscard]] HWND window(layout::Control id) const;
    [[nodiscard]] std::optional<layout::Control> find(HWND window) const;
    [[nodiscard]] HWND toolTips() const { return toolTips_; }

    // Child-window ids, clear of IDOK and IDCANCEL which the dialog manager sends.
    [[nodiscard]] static int commandId(layout::Control id);
    [[nodiscard]] static std::optional<layout::Control> fromCommandId(int commandId);

private:
    struct FontDeleter final {
        void operator()(HFONT font) const { DeleteObject(font); }
    };
    using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

    void addToolTip(HWND parent, HWND control, const layout::ControlRow& row);

    std::array<HWND, layout::kControls.size()> windows_{};
    HWND toolTips_ = nullptr;
    Font bold_;
    Font normal_;
};

// Typing goes on after the text, where the caret stands once the program has set it.
void moveCaretToEnd(HWND entry);

} // namespace kestrand::win32
