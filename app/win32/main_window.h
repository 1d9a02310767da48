// The Win32 window: its class, the controls, the background picture, and a
// message procedure that turns each user action into one call of the form.
// It keeps no rules of its own; those live in the form and in levels.
#pragma once

#include "app/form_layout.h"
#include "app/kestrand_form.h"
#include "app/readable_colours.h"
#include "app/win32/control_hooks.h"
#include "app/win32/control_set.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <type_traits>

namespace kestrand::win32 {

class MainWindow final : private ControlListener {
public:
    // Fixed single border, a minimize box and no maximize box.
    static constexpr DWORD kStyle =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

    // Created hidden, with every control; messages reach no form until attach().
    explicit MainWindow(HINSTANCE instance);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    void attach(Kestrand& form);
    // The first showing counts as one size change, whatever the window system sends.
    void show(int showCommand);
    // One queued message: the entry's check before Tab takes the focus from
    // it, Enter in the entry, F1, then the dialog keys (Tab, Enter, Esc), then
    // the usual dispatch.
    void process(MSG& message);

    // Null once the window is destroyed.
    [[nodiscard]] HWND handle() const { return window_; }
    [[nodiscard]] HWND control(layout::Control id) const { return controls_->window(id); }
    [[nodiscard]] const ControlSet& controls() const { return *controls_; }
    // The density the window is laid out for, in dots per inch.
    [[nodiscard]] int dpi() const { return dpi_; }

private:
    struct BitmapDeleter final {
        void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
    };
    using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

    static void registerClassOnce(HINSTANCE instance);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void clicked(layout::Control id);
    void resized();
    void movedToDpi(int dpi, const RECT& suggested);
    void schemeChanged(UINT message, WPARAM wParam, LPARAM lParam);
    void paintBackground(HDC dc);
    LRESULT labelColours(HDC dc, HWND label) const;
    [[nodiscard]] bool tabRefused(const MSG& message);
    [[nodiscard]] bool enterInEntry(const MSG& message);
    [[nodiscard]] bool helpKey(const MSG& message);
    // True when the focus may leave the entry for target; a refusal keeps it.
    [[nodiscard]] bool mayLeaveEntryFor(HWND target);
    void setDefaultButton(layout::Control chosen);

    std::int16_t entryCharacter(std::int16_t code) override;
    bool mayPress(HWND button) override;
    void focusArrived(HWND control) override;

    HWND window_ = nullptr;
    std::optional<ControlSet> controls_;
    Bitmap background_;
    Kestrand* form_ = nullptr;
    HWND lastFocus_ = nullptr;
    int dpi_ = 96;
    FormInk ink_{};
};

} // namespace kestrand::win32
