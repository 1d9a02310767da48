#include "app/kestrand_form.h"

#include "app/notes.h"
#include "levels/bands.h"
#include "levels/entry_check.h"
#include "levels/number.h"
#include "levels/summary.h"

namespace kestrand {

void Kestrand::Form_Load() {
    strSavedCaption = ui_.title();
}

void Kestrand::Form_Resize() {
    sizeSeen_ = true;
    const bool minimized = ui_.windowState() == WindowState::Minimized;
    if (!levels::showsSummary(ui_.bandCaption(1), minimized)) {
        ui_.setTitle(strSavedCaption);
        return;
    }
    ui_.setTitle(levels::summaryTitle(ui_.bandCaption(1), ui_.bandCaption(2), ui_.bandCaption(3)));
}

std::int16_t Kestrand::txtVPs_KeyPress(std::int16_t keyAscii) {
    if (levels::passesKeystrokeFilter(keyAscii)) {
        return keyAscii;
    }
    ui_.showMessage(levels::keystrokeRefusal());
    return 0;
}

bool Kestrand::txtVPs_Validate() {
    const std::string text = ui_.entryText();
    const double total = levels::readTotal(text);
    const auto refusal = levels::rangeCheck(total);
    if (!refusal) {
        return false;
    }
    ui_.showMessage(levels::refusalMessage(*refusal, text, total, ui_.decimalSeparator()));
    ResetLevels();
    return true;
}

void Kestrand::ResetLevels() {
    const IndexBounds bounds = ui_.bandBounds();
    for (int i = bounds.lowest; i <= bounds.highest; ++i) {
        ui_.setBandCaption(static_cast<std::int16_t>(i), "0");
    }
    ui_.setEntryText("0");
    ui_.setFocus(FocusTarget::Entry);
}

void Kestrand::cmdCalculate_Click() {
    txtVPs_Validate();
    const double total = levels::readTotal(ui_.entryText());
    if (total == 0.0) {
        return;
    }
    const auto bands = levels::bandTexts(total);
    if (!bands) {
        refuseBoundBeyondSixteenBits();
        return;
    }
    static_assert(std::tuple_size_v<levels::BandTexts> == layout::kBandCount);
    const IndexBounds bounds = ui_.bandBounds();
    for (int i = bounds.lowest; i <= bounds.highest; ++i) {
        ui_.setBandCaption(static_cast<std::int16_t>(i), (*bands)[static_cast<std::size_t>(i)]);
    }
    ui_.announceBands();
    ui_.setFocus(FocusTarget::Exit);
}

// A pasted total so far below zero (about -54616) that a lower bound leaves
// the 16-bit range: refused as too low, like any other total out of range,
// before a band is written.
void Kestrand::refuseBoundBeyondSixteenBits() {
    const std::string text = ui_.entryText();
    ui_.showMessage(levels::refusalMessage(levels::Refusal::TooLow, text, levels::readTotal(text),
                                           ui_.decimalSeparator()));
    ResetLevels();
}

void Kestrand::cmdNotes_Click() {
    ui_.showMessage(notesMessage());
}

void Kestrand::cmdExit_Click() {
    ui_.unloadAndEnd();
}

bool Kestrand::mayLeaveEntryFor(layout::Control target) {
    return !layout::rowOf(target).validates || !txtVPs_Validate();
}

void Kestrand::click(layout::Control button) {
    switch (button) {
    case layout::Control::cmdCalculate:
        cmdCalculate_Click();
        break;
    case layout::Control::cmdNotes:
        cmdNotes_Click();
        break;
    case layout::Control::cmdExit:
        cmdExit_Click();
        break;
    default: // labels and the entry have no click handler
        break;
    }
}

void Kestrand::enterInEntry() {
    click(layout::kDefaultButton);
}

void Kestrand::helpKey() {
    cmdNotes_Click();
}

void Kestrand::windowShown() {
    if (!sizeSeen_) {
        Form_Resize();
    }
}

} // namespace kestrand
