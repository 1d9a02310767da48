// Starts Kestrand: one window, no arguments, no settings.
#include "app/qt/qt_kestrand.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kestrand::qtui::installFormFonts();
    kestrand::qtui::QtKestrand kestrand;
    kestrand.show();
    return QApplication::exec();
}
