#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace vantle {

Result<void> writeFileAtomically(const QString& path, const QByteArray& bytes) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        return Result<void>::failure(QStringLiteral("cannot make the folder %1").arg(folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return Result<void>::failure(
            QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return {};
}

} // namespace vantle
