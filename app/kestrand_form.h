// The form's handlers, written once against UiServices: the Qt and Win32
// windows call them; they never see a widget, and they keep one saved title.
#pragma once

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

    [[nodiscard]] const std::string& savedCaption() const { return strSavedCaption; }

private:
    void ResetLevels();
    void refuseTooLow();

    UiServices& ui_;
    std::string strSavedCaption;
};

} // namespace kestrand
