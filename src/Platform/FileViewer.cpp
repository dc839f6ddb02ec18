#include "Platform/FileViewer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>

#include <memory>

namespace FileViewer {

QUrl url(const std::filesystem::path& path) {
    const QByteArray bytes = QByteArray::fromStdString(path.string());
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

void showItem(const std::filesystem::path& path, std::function<void(bool shown)> done) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        done(false);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", "ShowItems");
    call << QStringList{QString::fromLatin1(url(path).toEncoded())} << QString();
    // A file manager that has to start first may take a while; never wait on the main thread for it.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [watcher, done = std::move(done)] {
        const bool shown = !watcher->isError();
        watcher->deleteLater();
        done(shown);
    });
}

}  // namespace FileViewer
