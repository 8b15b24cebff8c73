#include "app/PhoneNodeInfo.h"

#include "files/FSNodeInfo.h"
#include "files/NamedImages.h"
#include "files/VantleUtilities.h"

#include <QHash>

namespace vantle {
namespace {

QHash<QString, PhoneNodeInfoPtr>& nodeCache() {
    static QHash<QString, PhoneNodeInfoPtr> cache;
    return cache;
}

} // namespace

PhoneNodeInfoPtr PhoneNodeInfo::nodeWithPath(const QString& path, bool isFolder) {
    PhoneNodeInfoPtr& node = nodeCache()[path];
    if (!node) node = std::make_shared<PhoneNodeInfo>(path, isFolder);
    node->setUploading(false);
    return node;
}

PhoneNodeInfoPtr PhoneNodeInfo::existingNode(const QString& path) {
    return nodeCache().value(path);
}

void ClearNodeCache() {
    nodeCache().clear();
}

QImage PhoneNodeInfo::squareIcon(const QImage& image) {
    if (image.isNull()) return {};
    // Scaled, not painted: an image once painted on keeps its paint engine until it goes, which
    // for thousands of rows costs memory and a long pause when they are freed. At the artwork's
    // density, so that rows stay sharp on screens scaled up.
    const int pixels = kIconSide * NamedImages::kIconScale;
    QImage icon = image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                      .scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    icon.setDevicePixelRatio(NamedImages::kIconScale);
    return icon;
}

QImage PhoneNodeInfo::iconFromData(const QByteArray& data) {
    return data.isEmpty() ? QImage() : squareIcon(QImage::fromData(data));
}

PhoneNodeInfo::PhoneNodeInfo(const QString& path, bool isFolder) : mIsFolder(isFolder) {
    setPath(path);
}

void PhoneNodeInfo::setPath(const QString& path) {
    mPath = path;
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    mName = parts.isEmpty() ? path : parts.last();
}

void PhoneNodeInfo::setIcon(const QImage& image) {
    if (image.isNull()) return;
    const bool square = image.size() == QSize(kIconSide, kIconSide) * NamedImages::kIconScale &&
                        image.devicePixelRatio() == NamedImages::kIconScale;
    mIcon = square ? image : squareIcon(image);
}

QImage PhoneNodeInfo::iconImage() {
    if (mIcon.isNull())
        mIcon = squareIcon(FSNodeInfo::genericIconForType(
            VantleUtilities::pathExtension(mPath).toUpper(), mIsFolder));
    return mIcon;
}

int PhoneNodeInfo::alphabetically(const PhoneNodeInfo& other) const {
    return lastPathComponent().compare(other.lastPathComponent(), Qt::CaseInsensitive);
}

} // namespace vantle
