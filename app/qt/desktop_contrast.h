// Whether the desktop asks programs for high contrast, as its settings portal tells, followed
// while Kestrand runs. It reports the wish only; what the window draws for it is the colour rule's.
#pragma once

#include <QDBusMessage>
#include <QObject>

#include <functional>

namespace kestrand::qtui {

class DesktopContrast final : public QObject {
    Q_OBJECT
public:
    // changed is called whenever high() changes. Nothing here waits: the portal's first answer
    // arrives later, or never where there is no session bus, no portal or no such setting.
    DesktopContrast(QObject* parent, std::function<void()> changed);

    [[nodiscard]] bool high() const { return high_; }

private Q_SLOTS:
    // The portal's SettingChanged(namespace, key, value), taken as the whole message: Qt 6.4
    // does not connect the signal to a slot typed (QString, QString, QDBusVariant).
    void settingChanged(const QDBusMessage& change);

private:
    void heard(const QVariant& contrast);

    std::function<void()> changed_;
    bool high_ = false;
};

} // namespace kestrand::qtui
