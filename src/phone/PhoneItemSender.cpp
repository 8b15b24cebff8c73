#include "phone/PhoneItemSender.h"

#include "transfer/ProtocolKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vantle::phone {

std::optional<PhoneItemSender> PhoneItemSender::create(const QString& absolutePath,
                                                       const PhoneStore& store) {
    const QFileInfo info(absolutePath);
    if (!info.exists()) return std::nullopt;
    PhoneItemSender sender;
    sender.mStore = &store;
    sender.mItemName = info.fileName();
    sender.addItem(absolutePath, info.fileName());
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
    qint64 offset = 0;
    qint64 chunkNum = 0;
    do {
        const qint64 length = std::min<qint64>(protocol::kChunkSize, size - offset);
        mSteps.push_back(
            {absolutePath, relativePath, false, offset, length, chunkNum, offset + length >= size});
        offset += length;
        ++chunkNum;
    } while (offset < size);
}

PhoneItemSender::Next PhoneItemSender::next() {
    if (mNext >= mSteps.size()) return {};
    const Step& step = mSteps[mNext++];
    if (step.folder)
        return {Next::Kind::Request,
                {{keys::kRequestType, QString(requests::kCreateDirectory)},
                 {keys::kPath, step.relativePath}},
                {}};
    QFile file(step.absolutePath);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(step.offset))
        return {Next::Kind::ReadFailed, {}, file.errorString()};
    const QByteArray piece = file.read(step.length);
    // A piece shorter than planned would be taken as the whole of that part of the file.
    if (piece.size() != step.length)
        return {Next::Kind::ReadFailed,
                {},
                piece.size() < 0 ? file.errorString()
                                 : QStringLiteral("%1 of %2 bytes at offset %3 (the file changed)")
                                       .arg(piece.size())
                                       .arg(step.length)
                                       .arg(step.offset)};
    QVariantMap request{{keys::kRequestType, QString(requests::kSendChunk)},
                        {keys::kPath, step.relativePath},
                        {keys::kChunkData, piece},
                        {keys::kChunkNum, step.chunkNum},
                        {keys::kLastChunk, step.last},
                        {keys::kTotalBytes, mTotalBytes},
                        {keys::kCurrentBytes, mCurrentBytes},
                        {keys::kBaseFileName, mItemName}};
    mCurrentBytes += piece.size();
    return {Next::Kind::Request, request, {}};
}

} // namespace vantle::phone
