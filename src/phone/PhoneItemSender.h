#pragma once

#include "phone/PhoneStore.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>
#include <optional>
#include <vector>

namespace vantle::phone {

// Turns one item of the store into the requests that send it to the PC: "CreateDirectory" for
// each folder and "SendChunk" pieces for each file, with paths relative to the item's parent.
// Pieces are read from disk one at a time, when asked for. A folder's request and a file's last
// piece carry the item's preview and HTML stand-in from its store's metadata folder.
class PhoneItemSender {
public:
    // How the item goes out, when not as it is.
    struct Shape {
        QString wireName; // empty: the item's own name
        int restartAfterPiece =
            0;             // 0: never; else files of more pieces start over once after these
        bool bare = false; // only the keys the PC relies on: no "LastChunk", no companions
    };

    // `absolutePath` is an item of `store`; none when it does not exist. Entries whose links lead
    // out of the store are left out.
    static std::optional<PhoneItemSender> create(const QString& absolutePath,
                                                 const PhoneStore& store, const Shape& shape);

    struct Next {
        enum class Kind { Request, Done, ReadFailed };
        Kind kind = Kind::Done;
        QVariantMap request; // without envelope, for Request
        QString error;       // for ReadFailed
    };
    // The next request; after ReadFailed the item cannot be sent whole.
    Next next();
    const QString& itemName() const { return mItemName; }
    // Relative paths of the entries left out because they lead out of the store.
    const QStringList& leftOut() const { return mLeftOut; }

private:
    struct Step {
        QString absolutePath;
        QString relativePath;
        bool folder = false;
        qint64 offset = 0;
        qint64 length = 0;
        qint64 chunkNum = 0;
        bool last = false; // of the file; a folder's step carries companions too
    };

    void addItem(const QString& absolutePath, const QString& relativePath);
    void addPieces(const QString& absolutePath, const QString& relativePath, qint64 size,
                   qint64 count);
    // Empty when the companions that exist were added; else why one could not be read.
    QString addCompanions(QVariantMap& request, const QString& absolutePath) const;

    // The file whose pieces are going out, open from its first piece to its last, and the buffer
    // its pieces are read into (taken again once the previous request has gone).
    std::unique_ptr<QFile> mFile;
    QByteArray mPiece;
    const PhoneStore* mStore = nullptr;
    QString mItemName;
    QStringList mLeftOut;
    std::vector<Step> mSteps;
    int mRestartAfterPiece = 0;
    bool mBare = false;
    std::size_t mNext = 0;
    qint64 mTotalBytes = 0;
    qint64 mCurrentBytes = 0;
};

} // namespace vantle::phone
