// Kestrand on Qt: the window, its services and the form, wired together and
// loaded. main() shows it; tests drive it with their own presenter.
#pragma once

#include "app/kestrand_form.h"
#include "app/qt/main_window.h"
#include "app/qt/qt_services.h"

namespace kestrand::qtui {

class QtKestrand final {
public:
    explicit QtKestrand(QtServices::Presenter presenter = {}, QtServices::EndAction end = {});

    // Shown in the normal state, where the window system puts new windows.
    void show() { window_.show(); }

    [[nodiscard]] MainWindow& window() { return window_; }
    [[nodiscard]] Kestrand& form() { return form_; }

private:
    MainWindow window_;
    QtServices services_;
    Kestrand form_;
};

// The fonts the form names, mapped to the closest faces Linux has, and its
// default font made the application's: message boxes and tooltips then share
// it, and the desktop's font is never loaded only to be replaced.
void installFormFonts();

} // namespace kestrand::qtui
