#include "app/qt/main_window.h"

#include "app/qt/qt_text.h"

#include "app/qt/accessibility.h"
#include "app/qt/entry_box.h"
#include "resource_paths.h"

#include <QEvent>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <limits>

namespace kestrand::qtui {
namespace {

using layout::Control;
using layout::Kind;

std::size_t slot(Control id) {
    return static_cast<std::size_t>(id);
}

QRect pixelRect(const layout::Rect& twips) {
    return {layout::pixels(twips.left), layout::pixels(twips.top), layout::pixels(twips.width),
            layout::pixels(twips.height)};
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

void setTextColor(QWidget* widget, QPalette::ColorRole role, layout::Rgb rgb) {
    QPalette palette = widget->palette();
    palette.setColor(role, qcolor(rgb));
    widget->setPalette(palette);
}

QLabel* makeLabel(const layout::ControlRow& row, QWidget* parent) {
    auto* label = new QLabel(qs(row.text), parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setWordWrap(row.id == Control::lblVPs);
    // Opaque in the button-face colour, hiding the picture behind it.
    label->setBackgroundRole(QPalette::Button);
    label->setForegroundRole(QPalette::WindowText);
    label->setAutoFillBackground(true);
    if (row.kind == Kind::BandLabel) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setLineWidth(1);
        setTextColor(label, QPalette::WindowText, layout::kBandText);
    }
    return label;
}

QPushButton* makeButton(const layout::ControlRow& row, QWidget* parent) {
    auto* button = new QPushButton(qs(row.text), parent);
    button->setFont(formFont(false));
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
    setTextColor(entry, QPalette::Text, layout::kEntryText);
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
    // and only the three buttons set their own; set before any child exists,
    // so no text is laid out first in one font and then again in another.
    setFont(formFont(true));
    installReadingOrder();
    setWindowTitle(qs(layout::kTitle));
    setWindowIcon(QIcon(builtInImage(resources::iconPath, "png")));
    setFixedSize(layout::pixels(layout::kClientWidthTwips),
                 layout::pixels(layout::kClientHeightTwips));

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
        widget->setGeometry(pixelRect(row.twips));
        widget->setToolTip(qs(row.toolTip));
        controls_[slot(row.id)] = widget;
    }
    button(Control::cmdCalculate)->setDefault(true);
    // The entry has no name of its own: a screen reader names it by the label that asks for it.
    static_cast<QLabel*>(control(Control::lblVPs))->setBuddy(entry_);
    // Tab visits the tab stops by tab index: entry, Exit, Calculate.
    setTabOrder(entry_, control(Control::cmdExit));
    setTabOrder(control(Control::cmdExit), control(Control::cmdCalculate));
    entry_->setFocus();
}

QWidget* MainWindow::control(Control id) const {
    return controls_[slot(id)];
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
    // Enter in the entry works the default button without moving the focus.
    connect(entry_, &QLineEdit::returnPressed, this, [&form] { form.cmdCalculate_Click(); });
    connect(button(Control::cmdCalculate), &QPushButton::clicked, this,
            [&form] { form.cmdCalculate_Click(); });
    connect(button(Control::cmdNotes), &QPushButton::clicked, this,
            [&form] { form.cmdNotes_Click(); });
    connect(button(Control::cmdExit), &QPushButton::clicked, this,
            [&form] { form.cmdExit_Click(); });
}

// The picture is decoded at the first paint, once the window is on screen.
void MainWindow::paintEvent(QPaintEvent* /*event*/) {
    if (background_.isNull()) {
        background_ = builtInImage(resources::backgroundPath, "bmp");
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

// The first showing counts as a size change; later sizes cannot change, so
// only state changes follow it.
void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!shownOnce_ && form_ != nullptr) {
        shownOnce_ = true;
        form_->Form_Resize();
    }
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && form_ != nullptr) {
        form_->Form_Resize();
    }
}

bool MainWindow::validates(const QWidget* target) const {
    return target == control(Control::cmdCalculate) || target == control(Control::cmdNotes);
}

bool MainWindow::mayLeaveEntryFor(const QWidget* target) {
    if (form_ == nullptr || !entry_->hasFocus() || !validates(target)) {
        return true;
    }
    return !form_->txtVPs_Validate();
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
