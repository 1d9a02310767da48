// Subclass procedures on the entry and the buttons: they hand typed characters,
// left presses and focus arrivals to a listener, and decide none of them.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kestrand::win32 {

class ControlListener {
public:
    virtual ~ControlListener() = default;

    // A character typed into the entry; returns the code to insert, 0 to drop it.
    virtual std::int16_t entryCharacter(std::int16_t code) = 0;
    // A left press or double click on a button that checks the entry first;
    // false drops it before the button sees it.
    virtual bool mayPress(HWND button) = 0;
    // The control has just taken the focus.
    virtual void focusArrived(HWND control) = 0;
};

void hookEntry(HWND entry, ControlListener& listener);
void hookButton(HWND button, ControlListener& listener, bool checksEntry);

} // namespace kestrand::win32
