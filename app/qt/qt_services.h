// The form's services over the Qt window's widgets. Message boxes and the
// end of the program go through replaceable actions, so tests can record them.
#pragma once

#include "app/ui_services.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace kestrand::qtui {

class MainWindow;

class QtServices final : public UiServices {
public:
    using Presenter = std::function<void(const levels::Message&)>;
    using EndAction = std::function<void()>;

    // By default messages are modal QMessageBoxes and the end quits the application.
    explicit QtServices(MainWindow& window, Presenter presenter = {}, EndAction end = {});

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

private:
    MainWindow& window_;
    Presenter presenter_;
    EndAction end_;
    // Said with the next move of the focus.
    std::optional<QString> announcement_;
};

// The real modal box; CR LF breaks become the line breaks Qt draws.
void showMessageBox(QWidget* parent, const levels::Message& message);

} // namespace kestrand::qtui
