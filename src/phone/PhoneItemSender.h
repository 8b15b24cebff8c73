#pragma once

#include "phone/PhoneStore.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <optional>
#include <vector>

namespace vantle::phone {

// Turns one item of the store into the requests that send it to the PC: "CreateDirectory" for
// each folder and "SendChunk" pieces for each file, with paths relative to the item's parent.
// Pieces are read from disk one at a time, when asked for.
class PhoneItemSender {
public:
    // `absolutePath` is an item of `store`; none when it does not exist. Entries whose links lead
    // out of the store are left out.
    static std::optional<PhoneItemSender> create(const QString& absolutePath,
                                                 const PhoneStore& store);

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
        bool last = false;
    };

    void addItem(const QString& absolutePath, const QString& relativePath);

    const PhoneStore* mStore = nullptr;
    QString mItemName;
    QStringList mLeftOut;
    std::vector<Step> mSteps;
    std::size_t mNext = 0;
    qint64 mTotalBytes = 0;
    qint64 mCurrentBytes = 0;
};

} // namespace vantle::phone
