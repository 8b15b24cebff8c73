#include "app/QueueFile.h"

#include "platform/Plist.h"
#include "support/ParoxLog.h"

#include <QDir>
#include <QVariantMap>

namespace vantle {

const QString QueueFile::kDateAddedKey = QStringLiteral("DateAdded");

namespace {

QVariantMap itemDictionary(const QString& dateAdded) {
    return QVariantMap{{QueueFile::kDateAddedKey, dateAdded}};
}

// A path on disk from the root: Qt would also take ":name" (its own resources) as absolute, and
// a NUL would cut the name short at the system's door.
bool isAbsoluteFilePath(const QString& path) {
    return QDir::isAbsolutePath(path) && !path.startsWith(QLatin1Char(':')) &&
           !path.contains(QChar(u'\0'));
}

} // namespace

Result<QList<QueueEntry>> QueueFile::decode(const QByteArray& bytes) {
    if (bytes.size() > kMaxFileBytes)
        return Result<QList<QueueEntry>>::failure(
            QStringLiteral("the queue file has %1 bytes, more than the %2 a queue may have")
                .arg(bytes.size())
                .arg(kMaxFileBytes));
    if (bytes.isEmpty()) return QList<QueueEntry>();
    const Result<plist::Document> document = plist::read(bytes);
    if (!document)
        return Result<QList<QueueEntry>>::failure(
            QStringLiteral("the queue file is no property list: %1").arg(document.error()));
    if (document->value.typeId() != QMetaType::QVariantMap)
        return Result<QList<QueueEntry>>::failure(
            QStringLiteral("the queue file's root is a %1, not a dictionary")
                .arg(QString::fromLatin1(document->value.typeName())));

    const QVariantMap root = document->value.toMap();
    QList<QueueEntry> entries;
    entries.reserve(root.size());
    for (auto item = root.cbegin(); item != root.cend(); ++item) {
        const QString& path = item.key();
        if (!isAbsoluteFilePath(path)) {
            ParoxLog("queue file: skipping %@, not an absolute path", path);
            continue;
        }
        if (item.value().typeId() != QMetaType::QVariantMap) {
            ParoxLog("queue file: skipping %@, its entry is no dictionary", path);
            continue;
        }
        const QVariant date = item.value().toMap().value(kDateAddedKey);
        if (date.typeId() != QMetaType::QString) {
            ParoxLog("queue file: skipping %@, it has no date text", path);
            continue;
        }
        QueueEntry entry{path, date.toString()};
        // A binary file may hold text XML cannot carry; such an item would make every later save
        // of the whole queue fail. What an XML file held, it can hold again.
        if (const Result<QByteArray> storable =
                document->format == plist::Format::Binary ? encode({entry}) : QByteArray();
            !storable) {
            ParoxLog("queue file: skipping %@: %@", path, storable.error());
            continue;
        }
        entries.append(std::move(entry));
    }
    return entries;
}

Result<QByteArray> QueueFile::encode(const QList<QueueEntry>& entries) {
    QVariantMap root;
    for (const QueueEntry& entry : entries)
        root.insert(entry.path, itemDictionary(entry.dateAdded));
    QString error;
    QByteArray bytes = plist::writeXml(root, &error);
    if (bytes.isEmpty()) return Result<QByteArray>::failure(error);
    return bytes;
}

} // namespace vantle
