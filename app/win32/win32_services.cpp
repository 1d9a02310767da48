#include "app/win32/win32_services.h"

#include "app/box_text.h"
#include "app/form_layout.h"
#include "app/win32/band_voice.h"
#include "app/win32/control_set.h"
#include "app/win32/main_window.h"
#include "app/win32/wide_text.h"

#include <array>

namespace kestrand::win32 {

using layout::Control;

void showMessageBox(HWND owner, const levels::Message& message) {
    // The icon's value is the message-box style itself.
    const UINT style = MB_OK | static_cast<UINT>(message.icon);
    // A refusal quoting a pasted megabyte would make a box wider than any screen.
    const std::string shown = shortenedForBox(message.text).value_or(message.text);
    MessageBoxW(owner, widen(shown).c_str(), widen(message.title).c_str(), style);
}

Win32Services::Win32Services(MainWindow& window, Presenter presenter)
    : window_(window), presenter_(std::move(presenter)) {
    if (!presenter_) {
        presenter_ = [this](const levels::Message& m) { showMessageBox(window_.handle(), m); };
    }
}

std::string Win32Services::entryText() const {
    return windowText(window_.control(Control::txtVPs));
}

void Win32Services::setEntryText(std::string_view text) {
    HWND entry = window_.control(Control::txtVPs);
    setWindowText(entry, text);
    moveCaretToEnd(entry);
}

void Win32Services::setFocus(FocusTarget target) {
    SetFocus(window_.control(controlOf(target)));
    if (bandsToAnnounce_) {
        bandsToAnnounce_ = false;
        std::array<HWND, layout::kBandCount> labels{};
        for (int i = 0; i < layout::kBandCount; ++i) {
            labels[static_cast<std::size_t>(i)] = window_.control(layout::bandControl(i));
        }
        announceBandLabels(labels);
    }
}

std::string Win32Services::bandCaption(std::int16_t index) const {
    return windowText(window_.control(layout::bandControl(index)));
}

void Win32Services::setBandCaption(std::int16_t index, std::string_view caption) {
    setWindowText(window_.control(layout::bandControl(index)), caption);
}

void Win32Services::announceBands() {
    bandsToAnnounce_ = true;
}

std::string Win32Services::title() const {
    return windowText(window_.handle());
}

void Win32Services::setTitle(std::string_view title) {
    setWindowText(window_.handle(), title);
}

WindowState Win32Services::windowState() const {
    if (IsIconic(window_.handle())) {
        return WindowState::Minimized;
    }
    return IsZoomed(window_.handle()) ? WindowState::Maximized : WindowState::Normal;
}

std::string Win32Services::decimalSeparator() const {
    std::array<wchar_t, 8> separator{}; // the locale allows at most three characters
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator.data(),
                                       static_cast<int>(separator.size()));
    if (length <= 1) {
        return ".";
    }
    return narrow(std::wstring_view(separator.data(), static_cast<std::size_t>(length - 1)));
}

void Win32Services::showMessage(const levels::Message& message) {
    presenter_(message);
}

// Nothing of the form runs after this: the loop sees the quit at once.
void Win32Services::unloadAndEnd() {
    DestroyWindow(window_.handle());
    PostQuitMessage(0);
}

} // namespace kestrand::win32
