#include "phone/PhoneStore.h"

#include "transfer/ProtocolKeys.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QTextStream>

namespace vantle::phone {
namespace {

constexpr int kThumbnailSide = 32;
constexpr qint64 kSampleBigFileSize = 300'000; // more than two pieces

QVariantMap success(bool ok) {
    return {{keys::kSuccess, ok}};
}

PhoneStore::Outcome answerOnly(QVariantMap response) {
    PhoneStore::Outcome outcome;
    outcome.response = std::move(response);
    return outcome;
}

bool isDriveLetter(const QString& component) {
    return component.size() == 2 && component[1] == QLatin1Char(':') && component[0].isLetter();
}

bool isInside(const QString& path, const QString& root) {
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

} // namespace

PhoneStore::PhoneStore(const QString& root, const PhoneOptions& options)
    : mRoot(QFileInfo(root).canonicalFilePath()), mOptions(options) {}

std::optional<QString> PhoneStore::resolve(const QString& phonePath) const {
    if (phonePath.contains(QChar(0))) return std::nullopt;
    QStringList kept;
    for (const QString& component : phonePath.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (component == QLatin1String(".")) continue;
        if (component == QLatin1String("..") || isDriveLetter(component)) return std::nullopt;
        kept << component;
    }
    const QString full =
        kept.isEmpty() ? mRoot : mRoot + QLatin1Char('/') + kept.join(QLatin1Char('/'));
    // Links inside the store must not lead out of it: check the deepest part that exists.
    QString existing = full;
    while (!QFileInfo::exists(existing) && existing != mRoot)
        existing = QFileInfo(existing).path();
    if (!holds(QFileInfo(existing).canonicalFilePath())) return std::nullopt;
    return full;
}

bool PhoneStore::holds(const QString& canonicalPath) const {
    return !canonicalPath.isEmpty() && isInside(canonicalPath, mRoot);
}

PhoneStore::Outcome PhoneStore::handle(const QVariantMap& request) {
    const QString type = request.value(keys::kRequestType).toString();
    if (type != requests::kSendChunk) mPieceFile.reset();
    if (type == requests::kVersionCheck) return answerOnly(versionCheck(request));
    if (type == requests::kDirectoryList) return answerOnly(directoryList(request));
    if (type == requests::kGetIconsAndSizes) return answerOnly(iconsAndSizes(request));
    if (type == requests::kFileExists) return answerOnly(fileExists(request));
    if (type == requests::kCreateDirectory) return answerOnly(createDirectory(request));
    if (type == requests::kSendChunk) return answerOnly(sendChunk(request));
    if (type == requests::kRemoveFile) return removeFile(request);
    if (type == requests::kRequestFile) return requestFile(request);
    if (type == requests::kNotify) return notify(request);
    return answerOnly({{keys::kGood, QString(kUnhandledAnswer)}});
}

QVariantMap PhoneStore::versionCheck(const QVariantMap&) const {
    QVariantMap answer{{keys::kClientVersion, protocol::kProtocolVersion},
                       {keys::kClientAppName, mOptions.appName},
                       {keys::kAllowUpload, !mOptions.noUpload}};
    switch (mOptions.versionAnswer) {
    case VersionAnswer::Full:
        break;
    case VersionAnswer::GoodOnly:
        answer = {{keys::kGood, true}};
        break;
    case VersionAnswer::NoAllowUpload:
        answer.remove(keys::kAllowUpload);
        break;
    case VersionAnswer::NoAppName:
        answer.remove(keys::kClientAppName);
        break;
    }
    return answer;
}

QVariantMap PhoneStore::directoryList(const QVariantMap& request) const {
    QVariantMap answer;
    QVariantMap plus;
    const auto folder = resolve(request.value(keys::kPath).toString());
    if (folder && QFileInfo(*folder).isDir()) {
        QDir dir(*folder);
        const QStringList names = dir.entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        QVariantList listing; // a property list holds lists of values, not QStringList
        for (const QString& name : names)
            listing << name;
        answer.insert(keys::kListing, listing);
        for (const QString& name : names) {
            if (name == storeNames::kMetadataFolder || name == storeNames::kThumbsFolder) continue;
            plus.insert(name,
                        QVariantMap{{keys::kIsFolder, QFileInfo(dir.filePath(name)).isDir()}});
        }
    }
    answer.insert(keys::kListingPlus, plus);
    return answer;
}

QVariantMap PhoneStore::iconsAndSizes(const QVariantMap& request) const {
    QVariantMap all;
    for (const QVariant& asked : request.value(keys::kPaths).toList()) {
        QVariantMap entry;
        const auto path = resolve(asked.toString());
        entry.insert(keys::kSize, path ? sizeOf(*path) : qint64(0));
        if (path && QFileInfo::exists(*path)) {
            const QByteArray icon = thumbnail(*path);
            if (!icon.isEmpty()) entry.insert(keys::kIcon, icon);
        }
        all.insert(asked.toString(), entry);
    }
    return {{keys::kIconsAndSizes, all}};
}

QVariantMap PhoneStore::fileExists(const QVariantMap& request) const {
    const auto path = resolve(request.value(keys::kPath).toString());
    const QFileInfo info(path.value_or(QString()));
    return {{keys::kExists, path && info.exists()}, {keys::kIsDirectory, path && info.isDir()}};
}

bool PhoneStore::nameTooLong(const QString& phonePath) const {
    for (const QString& component : phonePath.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        if (component.size() > mOptions.maxName) return true;
    return false;
}

QVariantMap PhoneStore::createDirectory(const QVariantMap& request) const {
    const QString phonePath = request.value(keys::kPath).toString();
    const auto path = resolve(phonePath);
    if (!path || *path == mRoot || nameTooLong(phonePath)) return success(false);
    const QFileInfo info(*path);
    if (info.isDir()) return success(true);
    return success(QDir(info.path()).exists() && QDir().mkdir(*path));
}

QVariantMap PhoneStore::sendChunk(const QVariantMap& request) {
    const QString phonePath = request.value(keys::kPath).toString();
    if (nameTooLong(phonePath))
        return {{keys::kSuccess, false}, {keys::kErrorCode, protocol::kNameTooLong}};
    const bool first = request.value(keys::kChunkNum).toLongLong() == 0;
    if (first || !mPieceFile || mPiecePhonePath != phonePath) {
        mPieceFile.reset();
        const auto path = resolve(phonePath);
        if (!path || *path == mRoot || !QDir(QFileInfo(*path).path()).exists() ||
            QFileInfo(*path).isDir())
            return success(false);
        auto file = std::make_unique<QFile>(*path);
        if (!file->open((first ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::Append) |
                        QIODevice::Unbuffered))
            return success(false);
        mPieceFile = std::move(file);
        mPiecePhonePath = phonePath;
    }
    const QByteArray piece = request.value(keys::kChunkData).toByteArray();
    const bool written = mPieceFile->write(piece) == piece.size();
    if (!written) mPieceFile.reset();
    return success(written);
}

PhoneStore::Outcome PhoneStore::removeFile(const QVariantMap& request) const {
    const auto path = resolve(request.value(keys::kPath).toString());
    Outcome outcome;
    bool removed = false;
    if (path && *path != mRoot) {
        const QFileInfo info(*path);
        if (info.isDir() && !info.isSymLink())
            removed = QDir(*path).removeRecursively();
        else if (info.exists() || info.isSymLink())
            removed = QFile::remove(*path);
    }
    outcome.response = success(removed);
    outcome.listingChanged = removed;
    return outcome;
}

PhoneStore::Outcome PhoneStore::requestFile(const QVariantMap& request) const {
    const QString phonePath = request.value(keys::kPath).toString();
    const auto path = resolve(phonePath);
    Outcome outcome;
    const bool there = path && *path != mRoot && QFileInfo::exists(*path);
    outcome.response = success(there);
    if (there) outcome.sendItem = phonePath;
    return outcome;
}

PhoneStore::Outcome PhoneStore::notify(const QVariantMap& request) const {
    const QString name = request.value(keys::kNotification).toString();
    Outcome outcome;
    outcome.response = success(!name.isEmpty());
    // The PC says an upload is complete: the listing has a new item.
    outcome.listingChanged = name == notes::kTransferFinished;
    return outcome;
}

qint64 PhoneStore::sizeOf(const QString& absolutePath) {
    const QFileInfo info(absolutePath);
    if (!info.isDir() || info.isSymLink()) return info.exists() ? info.size() : 0;
    qint64 total = 0;
    QDirIterator it(absolutePath, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        total += QFileInfo(it.next()).size();
    return total;
}

QByteArray PhoneStore::thumbnail(const QString& absolutePath) {
    QImage image(kThumbnailSide, kThumbnailSide, QImage::Format_RGB32);
    const uint seed = qHash(QFileInfo(absolutePath).fileName());
    image.fill(QColor::fromHsv(static_cast<int>(seed % 360), 160, 220));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    if (!writer.write(image)) return {};
    return bytes;
}

bool PhoneStore::fillWithSamples(const QString& folder) {
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("Trip"))) return false;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QByteArray big(kSampleBigFileSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 + i / 251);
    return write(QStringLiteral("Welcome.txt"),
                 "Files on the simulated phone. Download them, or upload your own.\n") &&
           write(QStringLiteral("Shopping list.txt"), "bread\nmilk\ncoffee\n") &&
           write(QStringLiteral("Recording.bin"), big) &&
           write(QStringLiteral("Trip/Itinerary.txt"), "Day 1: arrive\nDay 2: museum\n") &&
           write(QStringLiteral("Trip/Notes.txt"), "Bring the charger.\n");
}

} // namespace vantle::phone
