#include "app/qt/qt_kestrand.h"

#include "app/form_layout.h"
#include "app/qt/qt_text.h"

#include <QApplication>
#include <QFont>

namespace kestrand::qtui {

QtKestrand::QtKestrand(QtServices::Presenter presenter, QtServices::EndAction end)
    : services_(window_, std::move(presenter), std::move(end)), form_(services_) {
    window_.attach(form_);
    form_.Form_Load();
}

void installFormFonts() {
    QFont::insertSubstitution(qs(layout::kFontFace), qs(layout::kFontSubstitute));
    QApplication::setFont(formFont(false));
}

} // namespace kestrand::qtui
