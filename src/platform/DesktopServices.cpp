#include "platform/DesktopServices.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#if defined(Q_OS_LINUX)
#include <QDBusConnection>
#include <QDBusMessage>
#elif defined(Q_OS_WIN) || defined(Q_OS_MACOS)
#include <QProcess>
#endif

namespace vantle {
namespace {

#if defined(Q_OS_LINUX)
// freedesktop's FileManager1 interface: the way to select a file in whichever file manager runs.
bool showItemViaFileManager1(const QString& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, 2000);
    return reply.type() == QDBusMessage::ReplyMessage;
}
#endif

bool selectInFileManager(const QString& path) {
#if defined(Q_OS_LINUX)
    return showItemViaFileManager1(path);
#elif defined(Q_OS_WIN)
    return QProcess::startDetached(QStringLiteral("explorer.exe"),
                                   {QStringLiteral("/select,"), QDir::toNativeSeparators(path)});
#elif defined(Q_OS_MACOS)
    return QProcess::startDetached(QStringLiteral("open"), {QStringLiteral("-R"), path});
#else
    return false;
#endif
}

} // namespace

bool openPath(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool revealPath(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return false;
    if (selectInFileManager(info.absoluteFilePath())) return true;
    return openPath(info.absolutePath());
}

} // namespace vantle
