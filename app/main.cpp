// Starts Kestrand: one window, no arguments, no settings.
#include "app/qt/qt_kestrand.h"
#include "app/qt/session_bus.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    kestrand::qtui::skipUnreachableSessionBus();
    QApplication app(argc, argv);
    kestrand::qtui::installFormFonts();
    kestrand::qtui::QtKestrand kestrand;
    kestrand.show();
    return QApplication::exec();
}
