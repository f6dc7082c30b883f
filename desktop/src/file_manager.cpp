#include "file_manager.hpp"

#include <QUrl>

#ifdef OXTARN_HAVE_DBUS
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#endif

namespace oxtarn {

bool showFileInFileManager(const QString& path) {
#ifdef OXTARN_HAVE_DBUS
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    // A file manager that is not running may still be started by the bus.
    const QDBusConnectionInterface* names = bus.interface();
    if (names && !names->isServiceRegistered(service).value() &&
        !names->activatableServiceNames().value().contains(service))
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/FileManager1"),
                                                       service, QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage;
#else
    (void)path;
    return false;
#endif
}

}  // namespace oxtarn
