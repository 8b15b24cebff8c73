#pragma once

#include <QString>
#include <QVariantMap>
#include <optional>
#include <vector>

namespace vantle::phone {

// Turns one item of the store into the requests that send it to the PC: "CreateDirectory" for
// each folder and "SendChunk" pieces for each file, with paths relative to the item's parent.
// Pieces are read from disk one at a time, when asked for.
class PhoneItemSender {
public:
    // `absolutePath` is the item in the store; none when it does not exist.
    static std::optional<PhoneItemSender> create(const QString& absolutePath);

    // The next request (without envelope), or none when everything has been sent.
    std::optional<QVariantMap> next();
    const QString& itemName() const { return mItemName; }

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

    QString mItemName;
    std::vector<Step> mSteps;
    std::size_t mNext = 0;
    qint64 mTotalBytes = 0;
    qint64 mCurrentBytes = 0;
};

} // namespace vantle::phone
