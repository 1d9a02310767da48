// Kestrand on Win32: the window, its services and the form, wired and loaded.
// wWinMain shows it and runs the loop; tests drive it with their own presenter.
#pragma once

#include "app/kestrand_form.h"
#include "app/win32/main_window.h"
#include "app/win32/win32_services.h"

namespace kestrand::win32 {

class Win32Kestrand final {
public:
    explicit Win32Kestrand(HINSTANCE instance, Win32Services::Presenter presenter = {});

    void show(int showCommand) { window_.show(showCommand); }

    [[nodiscard]] MainWindow& window() { return window_; }
    [[nodiscard]] const MainWindow& window() const { return window_; }
    [[nodiscard]] Kestrand& form() { return form_; }

private:
    MainWindow window_;
    Win32Services services_;
    Kestrand form_;
};

// Runs until the window ends the program; returns the quit code.
int runMessageLoop(MainWindow& window);

} // namespace kestrand::win32
