// The form's UiServices over the page: each call reads or writes the element
// the layout names. It decides nothing; the form and the rules decide.
#pragma once

#include "app/kestrand_form.h"
#include "app/ui_services.h"

#include <string_view>

namespace kestrand::web {

class WebServices final : public UiServices {
public:
    [[nodiscard]] std::string entryText() const override;
    void setEntryText(std::string_view text) override;
    void setFocus(FocusTarget target) override;
    [[nodiscard]] std::string bandCaption(std::int16_t index) const override;
    void setBandCaption(std::int16_t index, std::string_view caption) override;
    void announceBands() override;
    [[nodiscard]] std::string title() const override;
    void setTitle(std::string_view title) override;
    [[nodiscard]] WindowState windowState() const override;
    [[nodiscard]] std::string decimalSeparator() const override;
    void showMessage(const levels::Message& message) override;
    void unloadAndEnd() override;
};

// Builds the window from the layout table: controls, places, fonts, tooltips,
// names, tab order and the picture. The page holds nothing of its own.
void buildWindow();

// Paints the form's two inks and the picture for the scheme the browser reports.
void paintForScheme();

// Puts typed text into the entry through the keystroke filter, one UTF-16
// unit at a time as a classic edit gets its characters.
void typeIntoEntry(Kestrand& form, std::u16string_view typed);

} // namespace kestrand::web
