#include "app/qt/accessibility.h"

#include "app/form_layout.h"
#include "app/qt/entry_box.h"
#include "app/qt/main_window.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QtGlobal>

#include <algorithm>
#include <iterator>
#include <vector>

namespace kestrand::qtui {
namespace {

using layout::Control;

// Children are read in creation order, which is also the stacking order: the captions of three
// levels come after their values there, and restacking would change which of two controls that
// share a pixel column draws it. So only the order a reader walks is changed, to the layout's.
using layout::kReadingOrder;

class ReadingOrderWindow final : public QAccessibleWidget {
public:
    // Qt takes a bare top-level QWidget for a client area; a reader should meet a window.
    explicit ReadingOrderWindow(MainWindow* window)
        : QAccessibleWidget(window, QAccessible::Window), window_(window) {}

    [[nodiscard]] QAccessibleInterface* child(int index) const override {
        const std::vector<QAccessibleInterface*> children = ordered();
        if (index < 0 || static_cast<std::size_t>(index) >= children.size()) {
            return nullptr;
        }
        return children[static_cast<std::size_t>(index)];
    }

    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<QAccessibleInterface*> children = ordered();
        const auto found = std::find(children.begin(), children.end(), child);
        return found == children.end() ? -1 : static_cast<int>(found - children.begin());
    }

private:
    // Where object comes in kReadingOrder; anything else Qt lists goes after, as Qt lists it.
    [[nodiscard]] std::size_t rank(const QObject* object) const {
        const auto found = std::find_if(kReadingOrder.begin(), kReadingOrder.end(),
                                        [&](Control id) { return window_->control(id) == object; });
        return static_cast<std::size_t>(std::distance(kReadingOrder.begin(), found));
    }

    // Qt's own list of children, reordered: nothing is added or left out.
    [[nodiscard]] std::vector<QAccessibleInterface*> ordered() const {
        std::vector<QAccessibleInterface*> children;
        for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
            children.push_back(QAccessibleWidget::child(i));
        }
        std::stable_sort(children.begin(), children.end(),
                         [this](const QAccessibleInterface* a, const QAccessibleInterface* b) {
                             return rank(a->object()) < rank(b->object());
                         });
        return children;
    }

    MainWindow* window_;
};

// The entry as Qt's own line edit presents it, but with its text as one run of attributes.
// Qt 6.4 reports an empty run at every offset, and Orca 43 builds the line it speaks from the
// runs: "200" was read "20", a lone "0" not at all.
class EntryText final : public QAccessibleWidget,
                        public QAccessibleTextInterface,
                        public QAccessibleEditableTextInterface {
public:
    explicit EntryText(EntryBox* entry) : QAccessibleWidget(entry, QAccessible::EditableText) {}

    [[nodiscard]] void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        if (type == QAccessible::EditableTextInterface) {
            return static_cast<QAccessibleEditableTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    [[nodiscard]] QString text(QAccessible::Text t) const override {
        return t == QAccessible::Value ? entry()->text() : QAccessibleWidget::text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override {
        if (t == QAccessible::Value) {
            entry()->setText(text);
        } else {
            QAccessibleWidget::setText(t, text);
        }
    }
    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !entry()->isReadOnly();
        state.readOnly = entry()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    // QAccessibleTextInterface
    [[nodiscard]] QString attributes(int /*offset*/, int* startOffset,
                                     int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
    [[nodiscard]] QString text(int startOffset, int endOffset) const override {
        return entry()->text().mid(startOffset, endOffset - startOffset);
    }
    [[nodiscard]] int characterCount() const override {
        return static_cast<int>(entry()->text().size());
    }
    [[nodiscard]] int cursorPosition() const override { return entry()->cursorPosition(); }
    void setCursorPosition(int position) override { entry()->setCursorPosition(position); }
    [[nodiscard]] int selectionCount() const override { return entry()->hasSelectedText() ? 1 : 0; }
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (selectionIndex == 0 && entry()->hasSelectedText()) {
            *startOffset = entry()->selectionStart();
            *endOffset = entry()->selectionEnd();
        }
    }
    void addSelection(int startOffset, int endOffset) override {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0) {
            entry()->deselect();
        }
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex == 0) {
            entry()->setSelection(startOffset, endOffset - startOffset);
        }
    }
    // A character's box on screen, at the top of the entry as Qt gives it: the text stands
    // at the right, so each character ends where the text after it begins.
    [[nodiscard]] QRect characterRect(int offset) const override {
        const QString all = entry()->text();
        if (offset < 0 || offset >= all.size()) {
            return {};
        }
        const QFontMetrics metrics(entry()->font());
        const int right = textArea().right() - kLineEditMargin;
        const QRect box(right - metrics.horizontalAdvance(all.mid(offset)), textArea().top(),
                        metrics.horizontalAdvance(all.at(offset)), metrics.height());
        return box.translated(entry()->mapToGlobal(QPoint(0, 0)));
    }
    [[nodiscard]] int offsetAtPoint(const QPoint& point) const override {
        return entry()->cursorPositionAt(entry()->mapFromGlobal(point));
    }
    void scrollToSubstring(int /*startIndex*/, int endIndex) override {
        entry()->setCursorPosition(endIndex);
    }

    // QAccessibleEditableTextInterface: as a paste, not filtered.
    void deleteText(int startOffset, int endOffset) override {
        entry()->setText(entry()->text().remove(startOffset, endOffset - startOffset));
    }
    void insertText(int offset, const QString& text) override {
        entry()->setText(entry()->text().insert(offset, text));
    }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        entry()->setText(entry()->text().replace(startOffset, endOffset - startOffset, text));
    }

private:
    // The room QLineEdit leaves between its frame and its text, on either side.
    static constexpr int kLineEditMargin = 2;

    [[nodiscard]] EntryBox* entry() const { return static_cast<EntryBox*>(widget()); }

    // Inside the frame and the text margins, as QLineEdit lays out its text.
    [[nodiscard]] QRect textArea() const {
        QStyleOptionFrame panel;
        panel.initFrom(entry());
        panel.lineWidth =
            entry()->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &panel, entry());
        panel.state |= QStyle::State_Sunken;
        return entry()
            ->style()
            ->subElementRect(QStyle::SE_LineEditContents, &panel, entry())
            .marginsRemoved(entry()->textMargins());
    }
};

QAccessibleInterface* interfaceFactory(const QString& /*className*/, QObject* object) {
    if (auto* const entry = dynamic_cast<EntryBox*>(object)) {
        return new EntryText(entry);
    }
    auto* const window = dynamic_cast<MainWindow*>(object);
    if (window == nullptr) {
        return nullptr;
    }
    return new ReadingOrderWindow(window);
}

// Orca 43 with Qt 6.4 speaks no change of a name or a description, and Qt has no
// announcement yet; but Orca reads a control's description as the control takes the focus.
// So the text stands before the description from now until the focus leaves, and a player
// who comes back later hears only the control's own help. From Qt 6.8 on, the text is an
// announcement instead, made once the focus has arrived.
class SaidWithFocus final : public QObject {
public:
    static constexpr const char* kName = "kestrandSaidWithFocus";

    SaidWithFocus(QWidget* widget, const QString& text)
        : QObject(widget), text_(text), own_(widget->accessibleDescription()) {
        setObjectName(QString::fromLatin1(kName));
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
        widget->setAccessibleDescription(text_ + u' ' + own_);
#endif
        widget->installEventFilter(this);
    }

    // Puts the widget's own description back and goes.
    void end() {
        auto* const widget = static_cast<QWidget*>(parent());
        widget->removeEventFilter(this);
        widget->setAccessibleDescription(own_);
        setObjectName(QString());
        deleteLater();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
        if (event->type() == QEvent::FocusIn) {
            QAccessibleAnnouncementEvent announcement(watched, text_);
            QAccessible::updateAccessibility(&announcement);
            end();
        }
#else
        (void)watched;
        if (event->type() == QEvent::FocusOut) {
            end();
        }
#endif
        return false;
    }

private:
    QString text_;
    QString own_;
};

} // namespace

void installAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFactory);
        return true;
    }();
    (void)installed;
}

void sayWithNextFocus(QWidget* widget, const QString& text) {
    // A text not yet said gives way to the newer one.
    if (auto* const earlier = widget->findChild<QObject*>(QString::fromLatin1(SaidWithFocus::kName),
                                                          Qt::FindDirectChildrenOnly)) {
        static_cast<SaidWithFocus*>(earlier)->end();
    }
    new SaidWithFocus(widget, text);
}

} // namespace kestrand::qtui
