// The main of the tests that drive real Qt windows: offscreen, with the
// form's fonts, as the program itself starts.
#include "app/qt/qt_kestrand.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kestrand::qtui::installFormFonts();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
