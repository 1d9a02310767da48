#include "app/qt/desktop_contrast.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace kestrand::qtui {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("contrast");

} // namespace

// Asked of the portal on every Qt: Qt 6.10 and later know the preference too, but only under
// the platform themes that ask the portal for it (GNOME's, KDE's), so a desktop Qt does not
// recognise would go unheard. The portal is what GTK and libadwaita programs follow as well.
DesktopContrast::DesktopContrast(QObject* parent, std::function<void()> changed)
    : QObject(parent), changed_(std::move(changed)) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    // Heard from whoever sends it on the portal's path and interface: named, the service
    // would first be looked up on the bus, a round trip before the first frame.
    bus.connect(QString(), kPath, kInterface, QStringLiteral("SettingChanged"), this,
                SLOT(settingChanged(QDBusMessage)));
    QDBusMessage ask =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("ReadOne"));
    ask << kNamespace << kKey;
    auto* reply = new QDBusPendingCallWatcher(bus.asyncCall(ask), this);
    connect(reply, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        const QDBusPendingReply<QDBusVariant> answer = *call;
        if (answer.isValid()) {
            heard(answer.value().variant());
        }
        call->deleteLater();
    });
}

void DesktopContrast::settingChanged(const QDBusMessage& change) {
    const QList<QVariant> arguments = change.arguments();
    if (arguments.size() == 3 && arguments[0].toString() == kNamespace &&
        arguments[1].toString() == kKey) {
        heard(arguments[2]);
    }
}

// 1 asks for high contrast, 0 for nothing in particular; any other value or type is read as
// the latter. Some portals wrap the value in a second variant.
void DesktopContrast::heard(const QVariant& contrast) {
    QVariant value = contrast;
    while (value.userType() == qMetaTypeId<QDBusVariant>()) {
        value = value.value<QDBusVariant>().variant();
    }
    const bool high = value.userType() == QMetaType::UInt && value.toUInt() == 1;
    if (high != high_) {
        high_ = high;
        changed_();
    }
}

} // namespace kestrand::qtui
