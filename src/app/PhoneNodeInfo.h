#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <memory>
#include <optional>

namespace vantle {

// One entry of the phone's listing: its path on the phone, folder or not, with the icon and the
// size text the phone sends later. One node per path in the process (nodeWithPath), so a file's
// icon and size survive a new listing until ClearNodeCache. Main thread only.
class PhoneNodeInfo {
public:
    // Side of the row icon, in the row's units (drawn at NamedImages::kIconScale pixels each).
    static constexpr int kIconSide = 32;

    // The cached node of `path`, made when missing; its uploading flag is cleared either way. The
    // folder flag of a cached node stays as it is.
    static std::shared_ptr<PhoneNodeInfo> nodeWithPath(const QString& path, bool isFolder);
    // The cached node of `path`, or null; never makes one.
    static std::shared_ptr<PhoneNodeInfo> existingNode(const QString& path);
    // `image` drawn whole into a new square row icon; a null image gives a null icon.
    static QImage squareIcon(const QImage& image);
    // The row icon for the phone's image file data; null for data that is no image.
    static QImage iconFromData(const QByteArray& data);

    PhoneNodeInfo(const QString& path, bool isFolder);

    QString path() const { return mPath; }
    QString absolutePath() const { return mPath; }
    void setPath(const QString& path);
    // The name shown: the path's last component.
    QString lastPathComponent() const { return mName; }
    bool isFolder() const { return mIsFolder; }

    std::optional<QString> size() const { return mSize; }
    QString sizeString() const { return mSize.value_or(QString()); }
    void setSize(const QString& size) { mSize = size; }

    QImage icon() const { return mIcon; }
    bool hasIconImage() const { return !mIcon.isNull(); }
    // A null image keeps the icon there is.
    void setIcon(const QImage& image);
    // Both dropped: the file changed, so that they are asked for again.
    void forgetIconAndSize() {
        mIcon = QImage();
        mSize.reset();
    }
    // The icon, or the generic one of the file's kind, made and kept on first use.
    QImage iconImage();

    bool uploading() const { return mUploading; }
    void setUploading(bool value) { mUploading = value; }
    bool shouldOpenAfterDownload() const { return mShouldOpenAfterDownload; }
    void setShouldOpenAfterDownload(bool value) { mShouldOpenAfterDownload = value; }

    // Sorting by name: the last path components, ignoring case; <0, 0 or >0.
    int alphabetically(const PhoneNodeInfo& other) const;

private:
    QString mPath;
    QString mName;
    QImage mIcon;
    std::optional<QString> mSize;
    bool mIsFolder = false;
    bool mUploading = false;
    bool mShouldOpenAfterDownload = false;
};

using PhoneNodeInfoPtr = std::shared_ptr<PhoneNodeInfo>;

// Forgets every phone node, so that icons and sizes are asked for again after a new connection.
void ClearNodeCache();

} // namespace vantle
