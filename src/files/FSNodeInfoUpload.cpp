#include "files/FSNodeInfo.h"
#include "files/VantleUtilities.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

namespace vantle {

namespace {

constexpr int kUploadPreviewPixels = 64;

} // namespace

QImage FSNodeInfo::scaledIconImageForPath(const QString& path, bool isDirectory) {
    // Drawn on the calling thread from our own image of the item's kind: the platform's icons
    // live on the main thread, which may be busy quitting while an upload worker asks.
    const QImage icon = genericIconForType(VantleUtilities::pathExtension(path).toUpper(),
                                           isDirectory || QFileInfo(path).isDir());
    QImage preview(kUploadPreviewPixels, kUploadPreviewPixels, QImage::Format_ARGB32_Premultiplied);
    preview.fill(Qt::transparent);
    QPainter painter(&preview);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(0, 0, kUploadPreviewPixels, kUploadPreviewPixels), icon);
    painter.end();
    return preview;
}

QByteArray FSNodeInfo::TIFFRepresentation(const QImage& image) {
    if (image.isNull()) return {};
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    if (!writer.write(image)) return {};
    return data;
}

QString FSNodeInfo::createTempFileIfNecessary(const QString& path) {
    return path;
}

QString FSNodeInfo::getNameForUpload(const QString& name, const QString&) {
    return name;
}

} // namespace vantle
