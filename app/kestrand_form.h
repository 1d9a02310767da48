// The form's handlers, written once against UiServices: the Qt and Win32
// windows call them; they never see a widget, and they keep one saved title.
#pragma once

#include "app/form_layout.h"
#include "app/ui_services.h"

#include <cstdint>
#include <string>

namespace kestrand {

class Kestrand final {
public:
    explicit Kestrand(UiServices& ui) : ui_(ui) {}

    void Form_Load();
    void Form_Resize();

    // Returns the code to insert; 0 drops the character.
    [[nodiscard]] std::int16_t txtVPs_KeyPress(std::int16_t keyAscii);
    // Returns the cancel flag: true keeps the focus in the entry and drops the
    // click that would have moved it.
    bool txtVPs_Validate();

    void cmdCalculate_Click();
    void cmdNotes_Click();
    void cmdExit_Click();

    // What the user's moves mean, asked by every window, which only reports
    // them in its toolkit's terms.
    //
    // The focus is about to leave the entry for target: the check runs first
    // when target takes part in validation. False keeps the focus in the entry
    // and drops the click or key that would have moved it.
    [[nodiscard]] bool mayLeaveEntryFor(layout::Control target);
    // A button worked by a click, or by Enter or Space while it has the focus.
    void click(layout::Control button);
    // Enter in the entry works the default button; the focus stays where it is.
    void enterInEntry();
    // F1, the help key: the notes, wherever the focus is. They read nothing
    // of the entry, so it is not checked.
    void helpKey();
    // The window is on screen. Its first showing counts as a size change,
    // even where the window system raises none for it.
    void windowShown();

    [[nodiscard]] const std::string& savedCaption() const { return strSavedCaption; }

private:
    void ResetLevels();
    void refuseBoundBeyondSixteenBits();

    UiServices& ui_;
    std::string strSavedCaption;
    bool sizeSeen_ = false;
};

} // namespace kestrand
