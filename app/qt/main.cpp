// Starts Kestrand: one window, no settings; --version and --help only print.
#include "app/qt/command_line.h"
#include "app/qt/platform_choice.h"
#include "app/qt/qt_kestrand.h"
#include "app/qt/session_bus.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    // Answered before any window system is touched, so they work without a display.
    if (const auto answer = kestrand::qtui::commandLineAnswer(
            std::span<char* const>(argv, static_cast<std::size_t>(argc)))) {
        return std::fputs(answer->c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
    }
    kestrand::qtui::skipUnreachableSessionBus();
    kestrand::qtui::preferXInWaylandSession(argc, argv);
    // Before the first window: Qt names it to the desktop from these (its X11 class, its
    // Wayland app id), and that is how the desktop finds its entry and icon.
    QApplication::setApplicationName(QStringLiteral(KESTRAND_APP_NAME));
    QApplication::setDesktopFileName(QStringLiteral(KESTRAND_APP_ID));
    QApplication app(argc, argv);
    kestrand::qtui::installFormFonts();
    kestrand::qtui::QtKestrand kestrand;
    kestrand.show();
    return QApplication::exec();
}
