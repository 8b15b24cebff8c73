#include "files/NamedImages.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>
#include <mutex>

// Resources of a static library have to be registered by hand, outside any namespace.
static void registerFileResources() {
    Q_INIT_RESOURCE(files);
}

namespace vantle {

namespace {

std::mutex gNamedImagesLock;

QImage renderNamed(const QString& name) {
    const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
    if (!QFile::exists(path)) return {};
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) return {};
    QImage image = NamedImages::blankImage(NamedImages::kIconPoints);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, NamedImages::kIconPoints, NamedImages::kIconPoints));
    return image;
}

} // namespace

QImage NamedImages::blankImage(int points) {
    QImage image(points * kIconScale, points * kIconScale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(kIconScale);
    return image;
}

QImage NamedImages::imageNamed(const QString& name) {
    static std::once_flag registered;
    std::call_once(registered, registerFileResources);
    static QHash<QString, QImage> cache;
    std::lock_guard guard(gNamedImagesLock);
    auto it = cache.constFind(name);
    if (it != cache.constEnd()) return *it;
    QImage image = renderNamed(name);
    cache.insert(name, image);
    return image;
}

} // namespace vantle
