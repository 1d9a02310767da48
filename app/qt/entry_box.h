// The victory-point entry: a QLineEdit whose typed characters pass a filter
// before they are inserted. Pasted or programmatic text is not filtered.
#pragma once

#include <QLineEdit>

class QMenu;

#include <cstdint>
#include <functional>

namespace kestrand::qtui {

class EntryBox final : public QLineEdit {
public:
    // Gets a typed character's code; returns it to let it in, or 0 to drop it.
    using KeystrokeFilter = std::function<std::int16_t(std::int16_t)>;

    explicit EntryBox(QWidget* parent) : QLineEdit(parent) {}
    void setKeystrokeFilter(KeystrokeFilter filter) { filter_ = std::move(filter); }

    // The line edit's own menu, naming only shortcuts that work here: Ctrl+V
    // and the like are characters the filter refuses, so their menu entries
    // name Shift+Insert, Ctrl+Insert and Shift+Delete, or no key at all.
    [[nodiscard]] QMenu* createContextMenu();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    [[nodiscard]] QString filtered(const QString& typed) const;

    KeystrokeFilter filter_;
};

} // namespace kestrand::qtui
