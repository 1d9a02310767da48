#include "app/qt/entry_box.h"

#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

namespace kestrand::qtui {
namespace {

bool isChord(const QKeyEvent& event) {
    return (event.modifiers() & (Qt::AltModifier | Qt::MetaModifier)) != 0;
}

// A key types characters exactly when a classic Windows edit would get a
// character message for it: Ctrl+letter does (its control code), while Alt
// and Meta chords, Delete, the arrows and Shift+Insert do not.
bool typesCharacters(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty() || event.key() == Qt::Key_Delete || isChord(event)) {
        return false;
    }
    const bool printable = std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() != 0x7f;
    });
    return !((event.modifiers() & Qt::ControlModifier) != 0 && printable);
}

// The menu entries' keys, by the standard action they stand for.
struct MenuKey final {
    QKeySequence::StandardKey action;
    QKeySequence shown; // empty: no key works past the filter
};
const MenuKey kMenuKeys[] = {
    {QKeySequence::Undo, {}},
    {QKeySequence::Redo, {}},
    {QKeySequence::Cut, QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
    {QKeySequence::Copy, QKeySequence(Qt::CTRL | Qt::Key_Insert)},
    {QKeySequence::Paste, QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
    {QKeySequence::SelectAll, {}},
};

} // namespace

QMenu* EntryBox::createContextMenu() {
    QMenu* menu = createStandardContextMenu();
    // An entry reads "&Paste\tCtrl+V": the key after the tab is the one it names.
    for (QAction* action : menu->actions()) {
        const qsizetype tab = action->text().indexOf(u'\t');
        if (tab < 0) {
            continue;
        }
        const QString named = action->text().mid(tab + 1);
        for (const MenuKey& key : kMenuKeys) {
            if (QKeySequence(key.action).toString(QKeySequence::NativeText) == named) {
                const QString shown = key.shown.toString(QKeySequence::NativeText);
                action->setText(action->text().left(tab) +
                                (shown.isEmpty() ? QString() : u'\t' + shown));
                break;
            }
        }
    }
    return menu;
}

void EntryBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QString EntryBox::filtered(const QString& typed) const {
    QString kept;
    for (const QChar unit : typed) {
        const auto code = static_cast<std::int16_t>(unit.unicode());
        if (const std::int16_t result = filter_ ? filter_(code) : code; result != 0) {
            kept.append(QChar(static_cast<char16_t>(result)));
        }
    }
    return kept;
}

void EntryBox::keyPressEvent(QKeyEvent* event) {
    if (isChord(*event) && !event->text().isEmpty()) {
        event->ignore(); // a shortcut perhaps, never text: QLineEdit would insert it
        return;
    }
    if (!typesCharacters(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString kept = filtered(event->text());
    if (kept == event->text()) {
        // Let the line edit act on it as it would: Enter, Backspace, insert.
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    for (const QChar c : kept) {
        if (c == u'\r') {
            emit returnPressed();
        } else if (c == u'\b') {
            backspace();
        } else {
            insert(QString(c));
        }
    }
}

// Committed input-method text is typing too, although it bypasses keyPressEvent.
void EntryBox::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent kept(event->preeditString(), event->attributes());
    kept.setCommitString(filtered(event->commitString()).remove(u'\r').remove(u'\b'),
                         event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&kept);
}

} // namespace kestrand::qtui
