#include "files/FSNodeInfo.h"
#include "platform/MainThread.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>

namespace vantle {

namespace {

constexpr int kUploadPreviewPixels = 64;

} // namespace

QImage FSNodeInfo::scaledIconImageForPath(const QString& path, bool) {
    QImage preview;
    // Drawn on the main thread, where the platform's icons live; the calling thread waits.
    runOnMainThreadAndWait([&preview, &path] {
        const QImage icon = iconImageForPath(path, false);
        QImage image(kUploadPreviewPixels, kUploadPreviewPixels,
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.drawImage(QRectF(0, 0, kUploadPreviewPixels, kUploadPreviewPixels), icon);
        painter.end();
        preview = image;
    });
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
