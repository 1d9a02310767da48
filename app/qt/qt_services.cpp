#include "app/qt/qt_services.h"

#include "app/box_text.h"
#include "app/qt/accessibility.h"
#include "app/qt/qt_text.h"
#include "app/spoken_results.h"

#include "app/qt/entry_box.h"
#include "app/qt/main_window.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include <array>
#include <optional>

namespace kestrand::qtui {
namespace {

// The room a title bar's icon and buttons take beside the title.
constexpr int kTitleBarButtons = 120;

} // namespace

void showMessageBox(QWidget* parent, const levels::Message& message) {
    const QMessageBox::Icon icon = message.icon == levels::MessageIcon::Information
                                       ? QMessageBox::Information
                                       : QMessageBox::Warning;
    const auto plain = [](std::string_view text) {
        return qs(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    };
    // A refusal quotes the entry as it stands, and a pasted entry can be a
    // megabyte long: the box shows it cut, and the whole text under "Show Details".
    const std::optional<std::string> shorter = shortenedForBox(message.text);
    QMessageBox box(icon, qs(message.title), plain(shorter.value_or(message.text)), QMessageBox::Ok,
                    parent);
    box.setTextFormat(Qt::PlainText);
    // As a classic message box: the text is read, not selected (Ctrl+C still copies the
    // box). Selectable, it would take the focus on a click, and Orca from version 50 on
    // skips a dialog's focusable text when it reads the dialog out.
    box.setTextInteractionFlags(Qt::NoTextInteraction);
    if (shorter) {
        box.setDetailedText(plain(message.text));
    }
    // At least as wide as its title with the title bar's buttons beside it, or
    // the window manager shortens "Victory Point Total Too Low".
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int titleWidth =
        QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarButtons;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
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
    return utf8(window_.entry()->text());
}

void QtServices::setEntryText(std::string_view text) {
    window_.entry()->setText(qs(text));
}

void QtServices::setFocus(FocusTarget target) {
    QWidget* const widget = window_.control(controlOf(target));
    if (announcement_) {
        sayWithNextFocus(widget, *announcement_);
        announcement_.reset();
    }
    widget->setFocus(Qt::OtherFocusReason);
}

std::string QtServices::bandCaption(std::int16_t index) const {
    return utf8(window_.band(index)->text());
}

void QtServices::setBandCaption(std::int16_t index, std::string_view caption) {
    window_.band(index)->setText(qs(caption));
}

void QtServices::announceBands() {
    std::array<std::string, layout::kBandCount> bands;
    for (int i = 0; i < layout::kBandCount; ++i) {
        bands[static_cast<std::size_t>(i)] = bandCaption(static_cast<std::int16_t>(i));
    }
    announcement_ = qs(spokenResults(bands));
}

std::string QtServices::title() const {
    return utf8(window_.windowTitle());
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
    return utf8(QLocale().decimalPoint());
}

void QtServices::showMessage(const levels::Message& message) {
    presenter_(message);
}

void QtServices::unloadAndEnd() {
    end_();
}

} // namespace kestrand::qtui
