// The Qt window: builds the thirteen controls from the layout table, paints
// the background and routes each user action to one handler of the form.
// It holds no rules of its own; those live in the form and in levels.
#pragma once

#include "app/form_layout.h"
#include "app/kestrand_form.h"

#include <QFont>
#include <QPixmap>
#include <QWidget>

#include <array>
#include <optional>

class QLabel;
class QPushButton;

namespace kestrand::qtui {

class DesktopContrast;
class EntryBox;

[[nodiscard]] QFont formFont(bool bold);

class MainWindow final : public QWidget {
public:
    MainWindow();

    // Routes events to the form from now on; call before the first show().
    void attach(Kestrand& form);

    [[nodiscard]] EntryBox* entry() const { return entry_; }
    [[nodiscard]] QPushButton* button(layout::Control id) const;
    [[nodiscard]] QLabel* band(int index) const;
    [[nodiscard]] QWidget* control(layout::Control id) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] std::optional<layout::Control> find(const QWidget* widget) const;
    [[nodiscard]] QWidget* tabTarget(bool next) const;
    // True when the focus may leave the entry for target; a refusal keeps it.
    [[nodiscard]] bool mayLeaveEntryFor(const QWidget* target);
    void useReadableInk();

    Kestrand* form_ = nullptr;
    EntryBox* entry_ = nullptr;
    DesktopContrast* contrast_ = nullptr;
    std::array<QWidget*, layout::kControls.size()> controls_{};
    QPixmap background_;
    bool picture_ = true;
};

} // namespace kestrand::qtui
