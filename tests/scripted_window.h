// A window without a screen: it keeps the texts, focus, title and state the
// form sets, records every message, and plays the user's keys and clicks
// through the form's routing and the layout's tab order, as the real windows do.
#pragma once

#include "app/form_layout.h"
#include "app/kestrand_form.h"
#include "app/spoken_results.h"
#include "app/ui_services.h"
#include "test_texts.h"

#include <array>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kestrand::testing {

enum class Focus { Entry, Notes, Calculate, Exit };

// Named, not "4-byte object", when a comparison fails.
inline void PrintTo(Focus focus, std::ostream* os) {
    constexpr const char* names[] = {"Entry", "Notes", "Calculate", "Exit"};
    *os << "Focus::" << names[static_cast<int>(focus)];
}

[[nodiscard]] constexpr layout::Control controlOf(Focus focus) {
    switch (focus) {
    case Focus::Notes:
        return layout::Control::cmdNotes;
    case Focus::Calculate:
        return layout::Control::cmdCalculate;
    case Focus::Exit:
        return layout::Control::cmdExit;
    case Focus::Entry:
        break;
    }
    return layout::Control::txtVPs;
}

[[nodiscard]] constexpr Focus focusOf(layout::Control control) {
    for (const Focus f : {Focus::Entry, Focus::Notes, Focus::Calculate, Focus::Exit}) {
        if (controlOf(f) == control) {
            return f;
        }
    }
    return Focus::Entry;
}

class ScriptedWindow final : public UiServices {
public:
    ScriptedWindow() { form_.Form_Load(); }

    ScriptedWindow& show() {
        form_.windowShown();
        return *this;
    }

    // Each character goes through the keystroke filter; those let in land at
    // the end of the entry, where the caret sits after the program set it.
    ScriptedWindow& type(std::string_view keys) {
        for (const char c : keys) {
            const std::int16_t code = form_.txtVPs_KeyPress(static_cast<std::int16_t>(c));
            if (code == '\r') {
                form_.enterInEntry();
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
    // The way to results that is not Enter: a click on Calculate.
    ScriptedWindow& calculate() { return click(Focus::Calculate); }
    // One Tab or Shift+Tab, whichever reaches target from the focus in one step.
    ScriptedWindow& tabOnceTo(Focus target) {
        return tab(tabGoesFromTo(controlOf(focus_), controlOf(target)));
    }
    ScriptedWindow& tab(bool forward = true) {
        const auto& cycle = layout::kTabOrder;
        std::size_t at = 0;
        while (at < cycle.size() && cycle[at] != controlOf(focus_)) {
            ++at;
        }
        at = at == cycle.size() ? 0 : (at + (forward ? 1 : cycle.size() - 1)) % cycle.size();
        moveFocus(focusOf(cycle[at]));
        return *this;
    }
    ScriptedWindow& pressF1() {
        form_.helpKey();
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
    // What a screen reader was given to say, each time, with the focus it was given at.
    [[nodiscard]] const std::vector<std::pair<std::string, Focus>>& announcements() const {
        return announcements_;
    }
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
    [[nodiscard]] std::string bandCaption(std::int16_t index) const override {
        return bands_.at(static_cast<std::size_t>(index));
    }
    void setBandCaption(std::int16_t index, std::string_view caption) override {
        bands_.at(static_cast<std::size_t>(index)) = caption;
        bandWrites_.emplace_back(caption);
    }
    void announceBands() override { announcements_.emplace_back(spokenResults(bands_), focus_); }
    [[nodiscard]] std::string title() const override { return title_; }
    void setTitle(std::string_view title) override { title_ = title; }
    [[nodiscard]] WindowState windowState() const override { return state_; }
    [[nodiscard]] std::string decimalSeparator() const override { return separator_; }
    void showMessage(const levels::Message& message) override { messages_.push_back(message); }
    void unloadAndEnd() override { ended_ = true; }

private:
    bool moveFocus(Focus to) {
        if (focus_ == Focus::Entry && !form_.mayLeaveEntryFor(controlOf(to))) {
            return false;
        }
        focus_ = to;
        return true;
    }
    ScriptedWindow& activate(Focus button) {
        form_.click(controlOf(button));
        return *this;
    }

    std::string entry_ = "0";
    std::array<std::string, 4> bands_ = kResetBands;
    Focus focus_ = Focus::Entry;
    std::string title_{layout::kTitle};
    WindowState state_ = WindowState::Normal;
    std::string separator_ = ".";
    std::vector<levels::Message> messages_;
    std::vector<std::string> bandWrites_;
    std::vector<std::pair<std::string, Focus>> announcements_;
    bool ended_ = false;
    Kestrand form_{*this};
};

} // namespace kestrand::testing
