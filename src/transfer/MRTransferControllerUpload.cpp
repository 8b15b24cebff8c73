// Uploads of files, folders and packages, piece by piece through one reused buffer.
#include "files/FSNodeInfo.h"
#include "files/FileSize.h"
#include "files/UploadSource.h"
#include "support/ParoxLog.h"
#include "transfer/MRTransferController.h"
#include "transfer/ProtocolKeys.h"
#include "transfer/StorePaths.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>

namespace vantle {
namespace {

// Folders the phone shows as one document; compared exactly ("RTFD" is no package).
constexpr std::array<QLatin1StringView, 5> kPackageExtensions{
    QLatin1StringView("app"), QLatin1StringView("rtfd"), QLatin1StringView("key"),
    QLatin1StringView("pages"), QLatin1StringView("numbers")};
constexpr QLatin1StringView kRichTextPackage{"rtfd"};
constexpr QLatin1StringView kRichText{"rtf"};
// The text of a rich-text package; its other files are attachments.
constexpr QLatin1StringView kRichTextPackageText{"TXT.rtf"};

// The extension after the last dot of the name, as written.
QString extensionOf(const QString& path) {
    return QFileInfo(path).suffix();
}

QString lastComponent(const QString& path) {
    return QFileInfo(path).fileName();
}

QString joined(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

QByteArray previewOf(const QString& path) {
    return FSNodeInfo::TIFFRepresentation(FSNodeInfo::scaledIconImageForPath(path, false));
}

// An image that could not be made goes as none: the phone needs no empty preview.
std::optional<QByteArray> unlessEmpty(QByteArray data) {
    if (data.isEmpty()) return std::nullopt;
    return data;
}

// What becomes of a path that is not sent, logged: a queued item fails (or is gone), something
// inside a folder is left out of it.
std::int32_t notSent(const QString& path, UploadKind kind, UploadLevel level,
                     const QString& reason) {
    if (kind != UploadKind::Missing && kind != UploadKind::NotAFile) {
        ParoxLog("cannot read %@: %@", path, reason);
        return protocol::kCannotOpenFile;
    }
    const bool gone = kind == UploadKind::Missing;
    const QString what = gone ? QStringLiteral("is gone") : QStringLiteral("is no file or folder");
    if (level == UploadLevel::InFolder) {
        ParoxLog("%@ %@: left out of its folder", path, what);
        return protocol::kNoError;
    }
    ParoxLog("%@ %@: nothing of it was sent", path, what);
    return gone ? protocol::kItemVanished : protocol::kCannotOpenFile;
}

} // namespace

std::int32_t MRTransferController::uploadFile(const QString& localPath, const QString& phonePath,
                                              std::optional<quint64> total) {
    if (!QFileInfo::exists(localPath)) {
        // Nothing to send, and nothing the phone should be told has arrived.
        ParoxLog("%@ is gone: nothing of it was sent", localPath);
        return protocol::kItemVanished;
    }
    mTotalBytes = total ? *total : uploadSizeOfPath(localPath);
    mBaseFile = lastComponent(localPath);
    const std::int32_t result = _uploadFile(localPath, phonePath, UploadLevel::Queued);
    if (result == protocol::kNoError)
        sendNotification(QString(notes::kTransferFinished), QVariantMap{{keys::kPath, phonePath}});
    return result;
}

Result<QString> MRTransferController::firstFreeNameOnPhone(const QString& name) {
    return firstFreeName(name, [this](const QString& candidate) { return fileExists(candidate); });
}

std::int32_t MRTransferController::uploadDir(const QString& localPath, const QString& phonePath,
                                             UploadLevel level) {
    // Listed before anything is made on the phone: a folder that cannot be read fails rather
    // than arrive empty.
    const FolderListing listing = listFolderForUpload(localPath);
    if (listing.kind != UploadKind::Folder)
        return notSent(localPath, listing.kind, level, QStringLiteral("cannot list the folder"));
    std::optional<QByteArray> preview;
    std::optional<QByteArray> html;
    const QString extension = extensionOf(localPath);
    if (std::find(kPackageExtensions.begin(), kPackageExtensions.end(), extension) !=
        kPackageExtensions.end()) {
        preview = unlessEmpty(previewOf(localPath));
        if (extension == kRichTextPackage)
            html = FSNodeInfo::htmlSubstituteForRtf(joined(localPath, kRichTextPackageText));
    }
    // From here on the name holds what this upload made, even if no answer comes.
    mCreatedOnPhone = true;
    if (!createDirectory(phonePath, preview, html)) {
        ParoxLog("newFolder failed to create folder at %@", phonePath);
        return protocol::kCannotCreateFolder;
    }
    std::int32_t result = protocol::kNoError;
    for (const QString& entry : listing.names) {
        if (staysHomeOnUpload(entry)) continue;
        result =
            _uploadFile(joined(localPath, entry), joined(phonePath, entry), UploadLevel::InFolder);
        if (result != protocol::kNoError) break;
    }
    return result;
}

std::int32_t MRTransferController::_uploadFile(const QString& localPath, const QString& phonePath,
                                               UploadLevel level) {
    if (mStopUpload) return protocol::kCancelled;
    ParoxLog("Uploading %@ to %@", localPath, phonePath);
    setCurrentFile(lastComponent(localPath));

    // Always asked, also for an item to be stored under a name of its own: its caller chose that
    // name free, and a phone starting a file afresh would write over one taken meanwhile.
    if (!phonePath.isEmpty()) {
        switch (nameOnPhone(phonePath)) {
        case NameOnPhone::Taken:
            return protocol::kNameExists;
        case NameOnPhone::NoAnswer:
            // Unchecked, the name is not ours to write.
            return protocol::kNoAnswer;
        case NameOnPhone::Free:
            break;
        }
    }
    // Stopped while the name was checked: nothing of the item is made.
    if (mStopUpload) return protocol::kCancelled;

    const UploadEntry entry = uploadEntryOf(localPath);
    if (entry.kind == UploadKind::Folder) {
        if (entry.throughLink && level == UploadLevel::InFolder) {
            // Followed, it could lead back up and nest copies without end.
            ParoxLog("%@ is a link to a folder: left out of its folder", localPath);
            return protocol::kNoError;
        }
        return uploadDir(localPath, phonePath, level);
    }
    if (entry.kind != UploadKind::File)
        return notSent(localPath, entry.kind, level, QStringLiteral("cannot look at it"));

    const QString source = FSNodeInfo::createTempFileIfNecessary(localPath);
    const QString remoteName = FSNodeInfo::getNameForUpload(phonePath, localPath);
    std::int32_t result = protocol::kNoError;
    {
        UploadSource file(source);
        if (file.kind() == UploadKind::File) {
            result = sendFilePieces(localPath, source, file, remoteName);
        } else {
            ParoxLog("fopen (%@) fails: %@", source, file.errorText());
            result = notSent(localPath, file.kind(), level, file.errorText());
        }
    }
    if (source != localPath && !QFile::remove(source))
        ParoxLog("could not remove the temporary copy %@", source);
    return mStopUpload ? protocol::kCancelled : result;
}

std::int32_t MRTransferController::sendFilePieces(const QString& localPath, const QString& source,
                                                  UploadSource& file, const QString& remoteName) {
    mChunkBuffer.resize(protocol::kChunkSize);
    // The opened file's own size: the bytes about to be read, whatever the path is by now.
    const quint64 total = file.size();
    ParoxLog("file for upload size is %lld", static_cast<qint64>(total));
    quint64 remaining = total;
    quint64 sent = 0;
    std::int32_t chunkNum = 0;
    for (;;) {
        const qint64 wanted =
            static_cast<qint64>(std::min<quint64>(remaining, protocol::kChunkSize));
        const qint64 n = wanted == 0 ? 0 : file.read(mChunkBuffer.data(), wanted);
        if (n < wanted) {
            // The file shrank (or can no longer be read) while it was being sent: what the
            // phone has is not the file.
            ParoxLog("%@ ended after %lld of %lld bytes: %@", source, static_cast<qint64>(sent),
                     static_cast<qint64>(total), file.errorText());
            return protocol::kCannotOpenFile;
        }
        sent += static_cast<quint64>(n);
        remaining -= static_cast<quint64>(n);
        // An empty file goes as one empty last piece, so that it arrives.
        const bool last = sent == total;
        if (last && !file.sizeUnchanged()) {
            // It grew (or changed) while being sent: the phone would get part of it as the whole.
            ParoxLog("%@ changed its size while it was sent: not sent as %lld bytes", source,
                     static_cast<qint64>(total));
            return protocol::kCannotOpenFile;
        }

        std::optional<QByteArray> preview;
        std::optional<QByteArray> html;
        if (last) {
            preview = unlessEmpty(previewOf(localPath));
            if (extensionOf(source) == kRichText) html = FSNodeInfo::htmlSubstituteForRtf(source);
        }
        std::int32_t error = protocol::kNoError;
        mCreatedOnPhone = true;
        if (!sendFileChunk(QByteArray::fromRawData(mChunkBuffer.constData(), n), remoteName,
                           chunkNum, last, preview, html, &error)) {
            ParoxLog("sendFileChunk err: %d\n", error);
            return error == protocol::kNoError ? protocol::kPieceFailedWithoutCode : error;
        }
        mBytesTransferred += static_cast<quint64>(n);
        if (last) {
            postNotificationNameAfterDelay(QString(notes::kUploadFinished), QVariant(),
                                           QVariantMap{{keys::kPath, remoteName}});
            return protocol::kNoError;
        }
        if (mStopUpload) return protocol::kCancelled;
        ++chunkNum;
    }
}

} // namespace vantle
