// Starts Kestrand: one window, no arguments, no settings.
#include "app/qt/platform_choice.h"
#include "app/qt/qt_kestrand.h"
#include "app/qt/session_bus.h"

#include <QApplication>

int main(int argc, char* argv[]) {
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
