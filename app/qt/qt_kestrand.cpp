#include "app/qt/qt_kestrand.h"

#include <QFont>

namespace kestrand::qtui {

QtKestrand::QtKestrand(QtServices::Presenter presenter, QtServices::EndAction end)
    : services_(window_, std::move(presenter), std::move(end)), form_(services_) {
    window_.attach(form_);
    form_.Form_Load();
}

void installFontSubstitutes() {
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

} // namespace kestrand::qtui
