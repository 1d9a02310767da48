// A window without a screen: it keeps the texts, focus, title and state the
// form sets, records every message, and plays the user's keys and clicks the
// way the real windows route them (validation before the focus leaves the
// entry for Calculate or Notes, Enter as the default button, the tab cycle).
#pragma once

#include "app/kestrand_form.h"
#include "app/ui_services.h"

#include <array>
#include <string>
#include <vector>

namespace kestrand::testing {

enum class Focus { Entry, Notes, Calculate, Exit };

class ScriptedWindow final : public UiServices {
public:
    ScriptedWindow() { form_.Form_Load(); }

    // The first showing raises a size event.
    ScriptedWindow& show() {
        form_.Form_Resize();
        return *this;
    }

    // Each character goes through the keystroke filter; those let in land at
    // the end of the entry, where the caret sits after the program set it.
    ScriptedWindow& type(std::string_view keys) {
        for (const char c : keys) {
            const std::int16_t code = form_.txtVPs_KeyPress(static_cast<std::int16_t>(c));
            if (code == '\r') {
                form_.cmdCalculate_Click();
            } else if (code == '\b') {
                if (!entry_.empty()) {
                    entry_.pop_back();
                }
            } else if (code != 0) {
                entry_.push_back(static_cast<char>(code));
            }
        }
        return *this;
    }
    // Replaces the whole entry, unfiltered, as a paste over a selection does.
    ScriptedWindow& paste(std::string_view text) {
        entry_ = text;
        return *this;
    }
    ScriptedWindow& pressEnter() {
        if (focus_ == Focus::Entry) {
            return type("\r");
        }
        return activate(focus_);
    }
    ScriptedWindow& click(Focus button) {
        if (!moveFocus(button)) {
            return *this;
        }
        return activate(button);
    }
    ScriptedWindow& tab(bool forward = true) {
        constexpr std::array<Focus, 3> cycle{Focus::Entry, Focus::Exit, Focus::Calculate};
        std::size_t at = 0;
        while (at < cycle.size() && cycle[at] != focus_) {
            ++at;
        }
        at = at == cycle.size() ? 0 : (at + (forward ? 1 : cycle.size() - 1)) % cycle.size();
        moveFocus(cycle[at]);
        return *this;
    }
    ScriptedWindow& setState(WindowState state) {
        state_ = state;
        form_.Form_Resize();
        return *this;
    }

    [[nodiscard]] const std::string& entry() const { return entry_; }
    [[nodiscard]] std::array<std::string, 4> bands() const { return bands_; }
    [[nodiscard]] Focus focus() const { return focus_; }
    [[nodiscard]] const std::string& windowTitle() const { return title_; }
    [[nodiscard]] const std::vector<levels::Message>& messages() const { return messages_; }
    [[nodiscard]] const std::vector<std::string>& bandWrites() const { return bandWrites_; }
    [[nodiscard]] bool ended() const { return ended_; }
    [[nodiscard]] const Kestrand& form() const { return form_; }
    void forgetMessages() { messages_.clear(); }
    void setSeparator(std::string separator) { separator_ = std::move(separator); }

    // UiServices
    [[nodiscard]] std::string entryText() const override { return entry_; }
    void setEntryText(std::string_view text) override { entry_ = text; }
    void setFocus(FocusTarget target) override {
        focus_ = target == FocusTarget::Entry ? Focus::Entry : Focus::Exit;
    }
    [[nodiscard]] IndexBounds bandBounds() const override { return {0, 3}; }
    [[nodiscard]] std::string bandCaption(std::int16_t index) const override {
        return bands_.at(static_cast<std::size_t>(index));
    }
    void setBandCaption(std::int16_t index, std::string_view caption) override {
        bands_.at(static_cast<std::size_t>(index)) = caption;
        bandWrites_.emplace_back(caption);
    }
    [[nodiscard]] std::string title() const override { return title_; }
    void setTitle(std::string_view title) override { title_ = title; }
    [[nodiscard]] WindowState windowState() const override { return state_; }
    [[nodiscard]] std::string decimalSeparator() const override { return separator_; }
    void showMessage(const levels::Message& message) override { messages_.push_back(message); }
    void unloadAndEnd() override { ended_ = true; }

private:
    bool moveFocus(Focus to) {
        const bool validates = to == Focus::Calculate || to == Focus::Notes;
        if (focus_ == Focus::Entry && validates && form_.txtVPs_Validate()) {
            return false;
        }
        focus_ = to;
        return true;
    }
    ScriptedWindow& activate(Focus button) {
        switch (button) {
        case Focus::Calculate:
            form_.cmdCalculate_Click();
            break;
        case Focus::Notes:
            form_.cmdNotes_Click();
            break;
        case Focus::Exit:
            form_.cmdExit_Click();
            break;
        case Focus::Entry:
            break;
        }
        return *this;
    }

    std::string entry_ = "0";
    std::array<std::string, 4> bands_{"0", "0", "0", "0"};
    Focus focus_ = Focus::Entry;
    std::string title_ = "FEXO- Scenario Kestrand";
    WindowState state_ = WindowState::Normal;
    std::string separator_ = ".";
    std::vector<levels::Message> messages_;
    std::vector<std::string> bandWrites_;
    bool ended_ = false;
    Kestrand form_{*this};
};

} // namespace kestrand::testing
