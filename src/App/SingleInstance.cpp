#include "App/SingleInstance.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

SingleInstance::SingleInstance(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus)) {}

bool SingleInstance::claim(bool takeOver) {
    if (!bus_.isConnected() || !bus_.interface()) return true;
    if (!bus_.registerObject(objectPath, this, QDBusConnection::ExportScriptableSlots)) return true;
    const auto reply = bus_.interface()->registerService(serviceName,
                                                         takeOver ? QDBusConnectionInterface::ReplaceExistingService : QDBusConnectionInterface::DontQueueService,
                                                         QDBusConnectionInterface::AllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) return true;
    bus_.unregisterObject(objectPath);
    // A bus that cannot answer is no reason not to start.
    return !reply.isValid();
}

bool SingleInstance::activateRunning(QDBusConnection bus) {
    if (!bus.isConnected()) return false;
    const QDBusMessage call = QDBusMessage::createMethodCall(serviceName, objectPath, "org.quarnell.Quarnell", "Activate");
    return bus.call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

void SingleInstance::Activate() {
    if (activate_) activate_();
}
