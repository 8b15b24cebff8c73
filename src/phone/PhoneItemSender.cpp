#include "phone/PhoneItemSender.h"

#include "files/VantleUtilities.h"
#include "transfer/ProtocolKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vantle::phone {

std::optional<PhoneItemSender>
PhoneItemSender::create(const QString& absolutePath, const PhoneStore& store, const Shape& shape) {
    const QFileInfo info(absolutePath);
    if (!info.exists()) return std::nullopt;
    PhoneItemSender sender;
    sender.mStore = &store;
    sender.mItemName = shape.wireName.isEmpty() ? info.fileName() : shape.wireName;
    sender.mRestartAfterPiece = shape.restartAfterPiece;
    sender.mBare = shape.bare;
    sender.addItem(absolutePath, sender.mItemName);
    return sender;
}

void PhoneItemSender::addItem(const QString& absolutePath, const QString& relativePath) {
    const QFileInfo info(absolutePath);
    // A link may name anything on the machine; only what stays in the store is sent.
    if (info.isSymLink() && !mStore->holds(info.canonicalFilePath())) {
        mLeftOut << relativePath;
        return;
    }
    if (info.isDir() && !info.isSymLink()) {
        mSteps.push_back({absolutePath, relativePath, true});
        const QStringList names =
            QDir(absolutePath)
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& name : names) {
            if (name == storeNames::kMetadataFolder || name == storeNames::kThumbsFolder) continue;
            addItem(absolutePath + QLatin1Char('/') + name, relativePath + QLatin1Char('/') + name);
        }
        return;
    }
    if (!info.isFile()) return;
    const qint64 size = info.size();
    mTotalBytes += size;
    // An empty file still goes as one empty piece, so that it exists on the other side.
    const qint64 pieces =
        std::max<qint64>(1, (size + protocol::kChunkSize - 1) / protocol::kChunkSize);
    if (mRestartAfterPiece > 0 && pieces > mRestartAfterPiece)
        addPieces(absolutePath, relativePath, size, mRestartAfterPiece);
    addPieces(absolutePath, relativePath, size, pieces);
}

void PhoneItemSender::addPieces(const QString& absolutePath, const QString& relativePath,
                                qint64 size, qint64 count) {
    for (qint64 chunkNum = 0; chunkNum < count; ++chunkNum) {
        const qint64 offset = chunkNum * protocol::kChunkSize;
        const qint64 length = std::min<qint64>(protocol::kChunkSize, size - offset);
        mSteps.push_back(
            {absolutePath, relativePath, false, offset, length, chunkNum, offset + length >= size});
    }
}

QString PhoneItemSender::addCompanions(QVariantMap& request, const QString& absolutePath) const {
    if (mBare) return {};
    const std::pair<QLatin1StringView, QString> companions[] = {
        {keys::kPreviewTIFF, VantleUtilities::thumbnailPathForPath(absolutePath, false)},
        {keys::kHTMLSubstitute, VantleUtilities::metaPathForPath(absolutePath, false)}};
    for (const auto& [key, path] : companions) {
        const QFileInfo info(path);
        // A companion that links out of the store is as good as none.
        if (!info.isFile() || !mStore->holds(info.canonicalFilePath())) continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("%1: %2").arg(path, file.errorString());
        request.insert(key, file.readAll());
    }
    return {};
}

PhoneItemSender::Next PhoneItemSender::next() {
    if (mNext >= mSteps.size()) return {};
    const Step& step = mSteps[mNext++];
    if (step.folder) {
        QVariantMap request{{keys::kRequestType, QString(requests::kCreateDirectory)},
                            {keys::kPath, step.relativePath}};
        if (QString error = addCompanions(request, step.absolutePath); !error.isEmpty())
            return {Next::Kind::ReadFailed, {}, error};
        return {Next::Kind::Request, request, {}};
    }
    if (!mFile || mFile->fileName() != step.absolutePath || step.chunkNum == 0) {
        mFile = std::make_unique<QFile>(step.absolutePath);
        if (!mFile->open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return {Next::Kind::ReadFailed, {}, mFile->errorString()};
    }
    QFile& file = *mFile;
    if (!mPiece.isDetached()) mPiece = QByteArray();
    mPiece.resize(step.length);
    const qint64 got = file.seek(step.offset) ? file.read(mPiece.data(), step.length) : qint64{-1};
    // A piece shorter than planned would be taken as the whole of that part of the file.
    if (got != step.length)
        return {Next::Kind::ReadFailed,
                {},
                got < 0 ? file.errorString()
                        : QStringLiteral("%1 of %2 bytes at offset %3 (the file changed)")
                              .arg(got)
                              .arg(step.length)
                              .arg(step.offset)};
    const QByteArray& piece = mPiece;
    if (step.last) mFile.reset();
    QVariantMap request{{keys::kRequestType, QString(requests::kSendChunk)},
                        {keys::kPath, step.relativePath},
                        {keys::kChunkData, piece},
                        {keys::kChunkNum, step.chunkNum},
                        {keys::kLastChunk, step.last},
                        {keys::kTotalBytes, mTotalBytes},
                        {keys::kCurrentBytes, mCurrentBytes},
                        {keys::kBaseFileName, mItemName}};
    if (mBare) request.remove(keys::kLastChunk);
    if (step.last)
        if (QString error = addCompanions(request, step.absolutePath); !error.isEmpty())
            return {Next::Kind::ReadFailed, {}, error};
    mCurrentBytes += piece.size();
    return {Next::Kind::Request, request, {}};
}

} // namespace vantle::phone
