#include "app/qt/qt_services.h"

#include "app/qt/qt_text.h"

#include "app/qt/entry_box.h"
#include "app/qt/main_window.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include <optional>

namespace kestrand::qtui {
namespace {

// A refusal quotes the entry as it stands, and a pasted entry can be a
// megabyte long: a box that tall would not fit on any screen. Such a line is
// shortened in the middle, and the whole text is kept under "Show Details".
std::optional<QString> shortened(const QString& text) {
    constexpr qsizetype kLongestLine = 200;
    QStringList lines = text.split(u'\n');
    bool any = false;
    for (QString& line : lines) {
        if (line.size() > kLongestLine) {
            line = line.left(kLongestLine / 2) + QChar(0x2026) + line.right(kLongestLine / 2);
            any = true;
        }
    }
    return any ? std::optional(lines.join(u'\n')) : std::nullopt;
}

} // namespace

void showMessageBox(QWidget* parent, const levels::Message& message) {
    const QMessageBox::Icon icon = message.icon == levels::MessageIcon::Information
                                       ? QMessageBox::Information
                                       : QMessageBox::Warning;
    const QString text = qs(message.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const std::optional<QString> shorter = shortened(text);
    QMessageBox box(icon, qs(message.title), shorter.value_or(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    if (shorter) {
        box.setDetailedText(text);
    }
    box.exec();
}

QtServices::QtServices(MainWindow& window, Presenter presenter, EndAction end)
    : window_(window), presenter_(std::move(presenter)), end_(std::move(end)) {
    if (!presenter_) {
        presenter_ = [this](const levels::Message& m) { showMessageBox(&window_, m); };
    }
    if (!end_) {
        end_ = [this] {
            window_.close();
            QCoreApplication::exit(0);
        };
    }
}

std::string QtServices::entryText() const {
    return window_.entry()->text().toStdString();
}

void QtServices::setEntryText(std::string_view text) {
    window_.entry()->setText(qs(text));
}

void QtServices::setFocus(FocusTarget target) {
    window_.control(controlOf(target))->setFocus(Qt::OtherFocusReason);
}

std::string QtServices::bandCaption(std::int16_t index) const {
    return window_.band(index)->text().toStdString();
}

void QtServices::setBandCaption(std::int16_t index, std::string_view caption) {
    window_.band(index)->setText(qs(caption));
}

std::string QtServices::title() const {
    return window_.windowTitle().toStdString();
}

void QtServices::setTitle(std::string_view title) {
    window_.setWindowTitle(qs(title));
}

WindowState QtServices::windowState() const {
    if (window_.isMinimized()) {
        return WindowState::Minimized;
    }
    return window_.isMaximized() ? WindowState::Maximized : WindowState::Normal;
}

std::string QtServices::decimalSeparator() const {
    return QLocale().decimalPoint().toStdString();
}

void QtServices::showMessage(const levels::Message& message) {
    presenter_(message);
}

void QtServices::unloadAndEnd() {
    end_();
}

} // namespace kestrand::qtui
