// The order a screen reader reads the window in: each caption just before the value it names.
// Names and descriptions need nothing here: Qt takes them from texts, the buddy and tooltips.
#pragma once

namespace kestrand::qtui {

// Makes every MainWindow read in that order from now on; safe to call more than once, but it
// only affects windows whose accessible interface has not been asked for yet.
void installReadingOrder();

} // namespace kestrand::qtui
