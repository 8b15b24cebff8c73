#pragma once

#include "files/AttributedString.h"

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QMetaType>
#include <QString>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace vantle {

// One local file or folder of the upload queue. There is one node per path in the process, shared
// between the main thread and the upload thread; obtain it with nodeWithPath().
class FSNodeInfo : public std::enable_shared_from_this<FSNodeInfo> {
public:
    // Posted on the main thread when a node's icon or size text changed.
    static const QString kInfoChangedNotification;

    // The node of `path`. With a date it is created when missing (none when the path doesn't
    // exist) or, when it exists already, gets the date and its upload flags cleared. Without a
    // date only an existing node is returned.
    static std::shared_ptr<FSNodeInfo> nodeWithPath(const QString& path,
                                                    const std::optional<QString>& dateAdded);

    static QString getSizeText(quint64 bytes);
    static QImage genericIconForType(const QString& upperCaseType, bool isFolder);
    static QImage iconImageForPath(const QString& path, bool isDirectory);
    static QImage imageWithPreviewOfFileAtPath(const QString& path, QSize size, bool asIcon);
    static QString formatDate(const QDateTime& date);

    // Upload hooks: the 64x64 preview of the item's kind (made on any thread, needing no other),
    // its TIFF form, and the identity adaptations of path and name.
    static QImage scaledIconImageForPath(const QString& path, bool isDirectory);
    static QByteArray TIFFRepresentation(const QImage& image);
    static QString createTempFileIfNecessary(const QString& path);
    static QString getNameForUpload(const QString& name, const QString& localFile);

    // Rich text to HTML: the page the phone shows instead of an RTF document; empty for an empty
    // document and for a page too large to send.
    static QByteArray htmlSubstituteForRtf(const QString& path);
    static QString convertToHtml(const AttributedString& text, float scaleFactor);
    static QString stringForAlignment(TextAlignment alignment);
    static RgbColor convertColorSpaceToRGB(const RgbColor& color);

    QString absolutePath() const { return mPath; }
    QString description() const { return mPath; }
    QString lastPathComponent() const;
    bool isDirectory() const;
    bool isBundle() const;
    bool isLink() const { return mIsLink; }
    bool isReadable() const { return mIsReadable; }
    bool exists() const { return mExists; }

    QString dateAdded() const;
    void setDateAdded(const QString& date);
    bool replace() const { return mReplace; }
    void setReplace(bool value) { mReplace = value; }
    bool makeUnique() const { return mMakeUnique; }
    void setMakeUnique(bool value) { mMakeUnique = value; }
    bool uploading() const { return mUploading; }
    void setUploading(bool value) { mUploading = value; }

    // The size text; sizePendingText() for a folder until its size, worked out on a worker, is in.
    QString sizeString();
    static QString sizePendingText();
    QString getSizeString();
    // The end of the program: no folder is measured any more; waits at most `limit` for those
    // being measured. False when some still are. Main thread.
    static bool stopFolderSizes(std::chrono::milliseconds limit);
    QImage iconImage() const;
    QImage getIconImageOfSize(QSize size) const;
    void revealFile() const;
    // Queue order: by date text, then by path; -1, 0 or 1.
    int byDate(const FSNodeInfo& other) const;
    // Nodes are shared, never duplicated: a copy is the cached node of the same path.
    std::shared_ptr<FSNodeInfo> copy() const;

    // Private construction; nodeWithPath() is the way in.
    struct Token {
        explicit Token() = default;
    };
    FSNodeInfo(Token, const QString& path);
    static std::shared_ptr<FSNodeInfo> create(const QString& path);

private:
    // Starts the measuring of this folder on the folder-size workers.
    void measureFolderSize();
    static QString folderSizeText(const QString& path);
    void updateStatusTextWithSize(const QString& sizeText);
    void getQLPreviewOnThread();
    static void scheduleIconLookup(std::weak_ptr<FSNodeInfo> node);
    static void runIconLookups();
    void updateIcon(const QImage& image);

    const QString mPath;
    const QString mOriginalFile;
    bool mIsReadable = false;
    bool mIsDirectory = false;
    bool mIsLink = false;
    bool mExists = false;

    mutable std::mutex mLock; // guards the three fields below
    QImage mIcon;
    std::optional<QString> mSizeString;
    QString mDateAdded;

    std::atomic<bool> mSizeThreadRunning{false};
    std::atomic<bool> mQLThreadRunning{false};
    std::atomic<bool> mMakeUnique{false};
    std::atomic<bool> mReplace{false};
    std::atomic<bool> mUploading{false};
};

using FSNodeInfoPtr = std::shared_ptr<FSNodeInfo>;

} // namespace vantle

Q_DECLARE_METATYPE(vantle::FSNodeInfoPtr)
