#include "platform/Autostart.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <utility>

namespace vantle {
namespace {

const QLatin1StringView kAutostartFolder{"autostart"};
const QLatin1StringView kEntrySuffix{".desktop"};

} // namespace

Autostart::Autostart(Entry entry, QString configFolder)
    : mEntry(std::move(entry)), mConfigFolder(std::move(configFolder)) {}

QString Autostart::userConfigFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString Autostart::entryPath() const {
    return mConfigFolder + u'/' + kAutostartFolder + u'/' + mEntry.desktopId + kEntrySuffix;
}

bool Autostart::enabled() const {
    return QFileInfo(entryPath()).isFile();
}

Result<void> Autostart::setEnabled(bool on) const {
    return on ? write() : remove();
}

Result<void> Autostart::write() const {
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Icon=%2\n"
                                        "Exec=%3\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(mEntry.name, mEntry.desktopId, mEntry.command);
    return writeFileAtomically(entryPath(), text.toUtf8());
}

Result<void> Autostart::remove() const {
    const QFileInfo info(entryPath());
    if (!info.exists() && !info.isSymLink()) return {};
    QFile file(entryPath());
    if (file.remove()) return {};
    return Result<void>::failure(
        QStringLiteral("cannot remove %1: %2").arg(entryPath(), file.errorString()));
}

} // namespace vantle
