#include "app/qt/main_window.h"

#include "app/qt/qt_text.h"
#include "app/readable_colours.h"

#include "app/qt/accessibility.h"
#include "app/qt/desktop_contrast.h"
#include "app/qt/entry_box.h"
#include "resource_paths.h"

#include <QApplication>
#include <QEvent>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyleHints>
#include <QtGlobal>

#include <algorithm>
#include <functional>
#include <limits>

namespace kestrand::qtui {
namespace {

using layout::Control;
using layout::Kind;

QRect pixelRect(const layout::Rect& twips, int dpi) {
    return {layout::pixels(twips.left, dpi), layout::pixels(twips.top, dpi),
            layout::pixels(twips.width, dpi), layout::pixels(twips.height, dpi)};
}

// Read by the decoder Qt has built in: left to guess the format, Qt loads
// every image plugin it has to ask each one, costing start-up time and memory.
QPixmap builtInImage(const char* path, const char* format) {
    QImageReader reader(QString::fromLatin1(path), format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QColor qcolor(layout::Rgb rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

layout::Rgb rgbOf(const QColor& colour) {
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

// Labels draw their window text on the button face, the entry its text on the base. Read
// from the active colours: the window may be in the background when the desktop's scheme
// changes, and some styles grey their inactive texts.
Scheme schemeOf(const QPalette& palette, bool highContrast) {
    const auto active = [&palette](QPalette::ColorRole role) {
        return rgbOf(palette.color(QPalette::Active, role));
    };
    return {.buttonFace = active(QPalette::Button),
            .buttonText = active(QPalette::WindowText),
            .windowBackground = active(QPalette::Base),
            .windowText = active(QPalette::Text),
            .highContrast = highContrast};
}

void setTextColor(QWidget* widget, QPalette::ColorRole role, layout::Rgb rgb) {
    QPalette palette = widget->palette();
    palette.setColor(role, qcolor(rgb));
    widget->setPalette(palette);
}

// Calls back when the application's palette changes. Installed on the
// application, it sees every event there and passes each one on.
class PaletteWatcher final : public QObject {
public:
    PaletteWatcher(QObject* parent, std::function<void()> changed)
        : QObject(parent), changed_(std::move(changed)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ApplicationPaletteChange &&
            watched == QCoreApplication::instance()) {
            changed_();
        }
        return false;
    }

private:
    std::function<void()> changed_;
};

QLabel* makeLabel(const layout::ControlRow& row, QWidget* parent) {
    auto* label = new QLabel(qs(row.text), parent);
    // Centred, so a band's text stands level with its caption's inside its frame.
    label->setAlignment(Qt::AlignRight | (row.wordWrap ? Qt::AlignTop : Qt::AlignVCenter));
    label->setWordWrap(row.wordWrap);
    // Opaque in the button-face colour, hiding the picture behind it.
    label->setBackgroundRole(QPalette::Button);
    label->setForegroundRole(QPalette::WindowText);
    label->setAutoFillBackground(true);
    if (row.kind == Kind::BandLabel) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
    }
    return label;
}

QPushButton* makeButton(const layout::ControlRow& row, QWidget* parent) {
    auto* button = new QPushButton(qs(row.text), parent);
    button->setFont(formFont(layout::isBold(row.kind)));
    button->setAutoDefault(true);
    // A click on a button that validates moves the focus only once the entry
    // has passed its check, which the window's event filter runs.
    if (row.validates) {
        button->setFocusPolicy(row.tabStop ? Qt::TabFocus : Qt::NoFocus);
    }
    return button;
}

EntryBox* makeEntry(const layout::ControlRow& row, QWidget* parent) {
    auto* entry = new EntryBox(parent);
    // The entry has no length limit of its own; QLineEdit's default is 32767.
    entry->setMaxLength(std::numeric_limits<int>::max());
    entry->setText(qs(row.text));
    entry->setAlignment(Qt::AlignRight);
    return entry;
}

} // namespace

// "MS Sans Serif" 8.25 pt, bold for the entry and the labels.
QFont formFont(bool bold) {
    QFont font(qs(layout::kFontFace));
    font.setPointSizeF(layout::kFontPoints);
    font.setBold(bold);
    return font;
}

MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint) {
    // Bold is what the entry and every label draw with, so children inherit it
    // and only the buttons set their own; set before any child exists,
    // so no text is laid out first in one font and then again in another.
    setFont(formFont(true));
    installAccessibleInterfaces();
    setWindowTitle(qs(layout::kTitle));
    QIcon icon;
    for (const char* const path : resources::iconPaths) {
        icon.addPixmap(builtInImage(path, "png"));
    }
    setWindowIcon(icon);
    // Laid out at the density the fonts are drawn at, so that where the
    // desktop enlarges its fonts without scaling the window, the controls grow
    // with them. Where Qt scales the window, this stays 96.
    const int dpi = logicalDpiY();
    setFixedSize(layout::pixels(layout::kClientWidthTwips, dpi),
                 layout::pixels(layout::kClientHeightTwips, dpi));

    for (const layout::ControlRow& row : layout::kControls) {
        QWidget* widget = nullptr;
        switch (row.kind) {
        case Kind::Entry:
            entry_ = makeEntry(row, this);
            widget = entry_;
            break;
        case Kind::Button:
            widget = makeButton(row, this);
            if (row.validates) {
                widget->installEventFilter(this);
            }
            break;
        case Kind::Label:
        case Kind::BandLabel:
            widget = makeLabel(row, this);
            break;
        }
        widget->setGeometry(pixelRect(row.twips, dpi));
        // As rich text a tooltip wraps at a readable width instead of running
        // as one line; a screen reader gets the plain text.
        widget->setToolTip(QStringLiteral("<p>%1</p>").arg(qs(row.toolTip).toHtmlEscaped()));
        widget->setAccessibleDescription(qs(row.toolTip));
        controls_[layout::slot(row.id)] = widget;
    }
    button(layout::kDefaultButton)->setDefault(true);
    // The entry has no name of its own: a screen reader names it by the label that asks for it.
    static_cast<QLabel*>(control(Control::lblVPs))->setBuddy(entry_);
    for (std::size_t i = 1; i < layout::kTabOrder.size(); ++i) {
        setTabOrder(control(layout::kTabOrder[i - 1]), control(layout::kTabOrder[i]));
    }
    control(layout::kTabOrder.front())->setFocus();
    contrast_ = new DesktopContrast(this, [this] { useReadableInk(); });
    useReadableInk();
    // A top-level widget is told only of its own palette; the application
    // hears when the desktop switches theme, and the colours are judged anew.
    new PaletteWatcher(this, [this] { useReadableInk(); });
}

// The desktop's scheme stays; only the red and the blue move where they
// would not read on it.
void MainWindow::useReadableInk() {
    // A window is not handed the application's new palette by itself; its
    // children follow it.
    setPalette(QPalette());
    const FormInk ink = readableInk(schemeOf(palette(), contrast_->high()));
    setTextColor(entry_, QPalette::Text, ink.entryText);
    for (int i = 0; i < layout::kBandCount; ++i) {
        setTextColor(band(i), QPalette::WindowText, ink.bandText);
    }
    if (ink.picture != picture_) {
        picture_ = ink.picture;
        update();
    }
}

QWidget* MainWindow::control(Control id) const {
    return controls_[layout::slot(id)];
}

std::optional<Control> MainWindow::find(const QWidget* widget) const {
    const auto at = std::find(controls_.begin(), controls_.end(), widget);
    if (widget == nullptr || at == controls_.end()) {
        return std::nullopt;
    }
    return static_cast<Control>(at - controls_.begin());
}

QPushButton* MainWindow::button(Control id) const {
    return static_cast<QPushButton*>(control(id));
}

QLabel* MainWindow::band(int index) const {
    return static_cast<QLabel*>(control(layout::bandControl(index)));
}

void MainWindow::attach(Kestrand& form) {
    form_ = &form;
    entry_->setKeystrokeFilter([&form](std::int16_t code) { return form.txtVPs_KeyPress(code); });
    connect(entry_, &QLineEdit::returnPressed, this, [&form] { form.enterInEntry(); });
    for (const layout::ControlRow& row : layout::kControls) {
        if (row.kind == Kind::Button) {
            connect(button(row.id), &QPushButton::clicked, this,
                    [&form, id = row.id] { form.click(id); });
        }
    }
    connect(new QShortcut(Qt::Key_F1, this), &QShortcut::activated, this,
            [&form] { form.helpKey(); });
}

// The picture is decoded at the first paint, once the window is on screen.
// It is drawn at its own size at 96 dots per inch and grows with the layout at
// other densities, so that it still covers the window.
void MainWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (!picture_) {
        painter.fillRect(rect(), palette().color(QPalette::Button));
        return;
    }
    if (background_.isNull()) {
        background_ = builtInImage(resources::backgroundPath, "bmp");
    }
    const int dpi = logicalDpiY();
    const auto grown = [dpi](int length) { return (length * dpi + 48) / 96; };
    painter.drawPixmap(QRect(0, 0, grown(background_.width()), grown(background_.height())),
                       background_);
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (form_ != nullptr) {
        form_->windowShown();
    }
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && form_ != nullptr) {
        form_->Form_Resize();
    }
}

bool MainWindow::mayLeaveEntryFor(const QWidget* target) {
    const std::optional<Control> id = find(target);
    return form_ == nullptr || !entry_->hasFocus() || !id || form_->mayLeaveEntryFor(*id);
}

QWidget* MainWindow::tabTarget(bool next) const {
    QWidget* const start = focusWidget();
    if (start == nullptr) {
        return nullptr;
    }
    for (QWidget* w = next ? start->nextInFocusChain() : start->previousInFocusChain(); w != start;
         w = next ? w->nextInFocusChain() : w->previousInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->isVisibleTo(this) && w->isEnabled()) {
            return w;
        }
    }
    return nullptr;
}

bool MainWindow::focusNextPrevChild(bool next) {
    if (!mayLeaveEntryFor(tabTarget(next))) {
        return true; // handled: the focus stays in the entry
    }
    return QWidget::focusNextPrevChild(next);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool press =
        event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (!press || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
        return QWidget::eventFilter(watched, event);
    }
    auto* const target = static_cast<QWidget*>(watched);
    if (!mayLeaveEntryFor(target)) {
        return true; // the refusal has been shown; this click never happened
    }
    target->setFocus(Qt::MouseFocusReason);
    return false;
}

} // namespace kestrand::qtui
