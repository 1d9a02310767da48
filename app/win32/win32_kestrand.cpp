#include "app/win32/win32_kestrand.h"

namespace kestrand::win32 {

// The controls exist before the form loads, and the form is loaded before
// the first showing.
Win32Kestrand::Win32Kestrand(HINSTANCE instance, Win32Services::Presenter presenter)
    : window_(instance), services_(window_, std::move(presenter)), form_(services_) {
    window_.attach(form_);
    form_.Form_Load();
}

int runMessageLoop(MainWindow& window) {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        window.process(message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace kestrand::win32
