// The form's services over the Win32 window's controls, with plain API calls.
// Messages go through a replaceable presenter, so tests record instead of blocking.
#pragma once

#include "app/ui_services.h"

#include <windows.h>

#include <functional>

namespace kestrand::win32 {

class MainWindow;

class Win32Services final : public UiServices {
public:
    using Presenter = std::function<void(const levels::Message&)>;

    // By default a message is a modal MessageBoxW owned by the window.
    explicit Win32Services(MainWindow& window, Presenter presenter = {});

    [[nodiscard]] std::string entryText() const override;
    void setEntryText(std::string_view text) override;
    void setFocus(FocusTarget target) override;
    [[nodiscard]] std::string bandCaption(std::int16_t index) const override;
    void setBandCaption(std::int16_t index, std::string_view caption) override;
    void announceBands() override;
    [[nodiscard]] std::string title() const override;
    void setTitle(std::string_view title) override;
    [[nodiscard]] WindowState windowState() const override;
    [[nodiscard]] std::string decimalSeparator() const override;
    void showMessage(const levels::Message& message) override;
    void unloadAndEnd() override;

private:
    MainWindow& window_;
    Presenter presenter_;
    // Announced once the focus has moved: a reader speaks the focus first.
    bool bandsToAnnounce_ = false;
};

// The real modal box: OK only, with the message's icon.
void showMessageBox(HWND owner, const levels::Message& message);

} // namespace kestrand::win32
