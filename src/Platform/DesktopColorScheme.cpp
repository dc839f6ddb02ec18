#include "Platform/DesktopColorScheme.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceGroup = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");

QDBusMessage readCall(const QString& method) {
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface, method);
    call << appearanceGroup << colorSchemeKey;
    return call;
}

}  // namespace

DesktopColorScheme& DesktopColorScheme::shared() {
    static DesktopColorScheme* scheme = new DesktopColorScheme(QDBusConnection::sessionBus());  // lives for the process
    return *scheme;
}

DesktopColorScheme::DesktopColorScheme(const QDBusConnection& bus, int firstAnswerMs, QObject* parent) : QObject(parent), bus_(bus) {
    if (!bus_.isConnected()) return;
    // The slot's argument type must be known by name before the connection looks the slot up.
    qRegisterMetaType<QDBusVariant>();
    bus_.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
                 SLOT(settingChanged(QString, QString, QDBusVariant)));
    // ReadOne is the current method; portals before version 2 only know the deprecated Read.
    QDBusMessage reply = bus_.call(readCall(QStringLiteral("ReadOne")), QDBus::Block, firstAnswerMs);
    if (reply.type() == QDBusMessage::ErrorMessage && reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
        reply = bus_.call(readCall(QStringLiteral("Read")), QDBus::Block, firstAnswerMs);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        setPreference(fromPortalValue(reply.arguments().constFirst()));
    else if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
        readAsynchronously(QStringLiteral("ReadOne"));  // a portal still starting up answers later
}

void DesktopColorScheme::readAsynchronously(const QString& method) {
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(readCall(method)), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, method] {
        watcher->deleteLater();
        QDBusMessage reply = watcher->reply();
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            setPreference(fromPortalValue(reply.arguments().constFirst()));
        else if (method == QLatin1String("ReadOne") && reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod"))
            readAsynchronously(QStringLiteral("Read"));
    });
}

DesktopColorScheme::Preference DesktopColorScheme::fromPortalValue(const QVariant& value) {
    QVariant inner = value;
    for (int depth = 0; depth < 3 && inner.canConvert<QDBusVariant>() && inner.metaType() == QMetaType::fromType<QDBusVariant>(); ++depth)
        inner = inner.value<QDBusVariant>().variant();
    if (inner.metaType() != QMetaType::fromType<uint>() && inner.metaType() != QMetaType::fromType<int>()) return Preference::none;
    switch (inner.toUInt()) {
    case 1: return Preference::dark;
    case 2: return Preference::light;
    default: return Preference::none;
    }
}

void DesktopColorScheme::settingChanged(const QString& group, const QString& key, const QDBusVariant& value) {
    if (group == appearanceGroup && key == colorSchemeKey) setPreference(fromPortalValue(value.variant()));
}

void DesktopColorScheme::setPreference(Preference preference) {
    if (preference == preference_) return;
    preference_ = preference;
    emit changed();
}
