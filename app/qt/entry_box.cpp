#include "app/qt/entry_box.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

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

} // namespace

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
