// What a screen reader meets in the Qt window beyond what Qt gives every widget: the reading
// order, the entry's text read whole, and a text said with the next focus move.
#pragma once

class QString;
class QWidget;

namespace kestrand::qtui {

// Makes every MainWindow read in the layout's order, and its entry read as one run of text,
// from now on; safe to call more than once, but it only affects widgets whose accessible
// interface has not been asked for yet.
void installAccessibleInterfaces();

// A screen reader says text once, as widget next takes the focus, before the widget's own
// description; the text is gone from it once the focus leaves.
void sayWithNextFocus(QWidget* widget, const QString& text);

} // namespace kestrand::qtui
