#include "ui/FileDropTarget.h"

#include "ui/IDDragTableView.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

namespace vantle {

namespace {

constexpr qreal kOutlineWidth = 2.0;
// Half the pen inside the edge, plus half a pixel so the line lands on whole pixels.
constexpr qreal kOutlineInset = 1.5;

bool isInside(const QObject* object, const QObject* ancestor) {
    for (; object; object = object->parent()) {
        if (object == ancestor) return true;
    }
    return false;
}

bool isInsideFileTable(const QObject* object) {
    for (; object; object = object->parent()) {
        if (qobject_cast<const IDDragTableView*>(object)) return true;
    }
    return false;
}

} // namespace

FileDropTarget::FileDropTarget(QWidget* owner, QWidget* surface)
    : mOwner(owner), mSurface(surface) {}

void FileDropTarget::setPolicy(DropPolicy policy) {
    mPolicy = std::move(policy);
}

bool FileDropTarget::accepts(const QMimeData* data, const QObject* source) const {
    if (!mPolicy || !mPolicy()) return false;
    if (isInside(source, mOwner) || isInsideFileTable(source)) return false;
    return !localPaths(data).isEmpty();
}

void FileDropTarget::hover(QDragMoveEvent* event) {
    const bool accepted = accepts(event->mimeData(), event->source());
    if (accepted) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    setHovering(accepted);
}

void FileDropTarget::leave() {
    setHovering(false);
}

QStringList FileDropTarget::drop(QDropEvent* event) {
    setHovering(false);
    if (!accepts(event->mimeData(), event->source())) {
        event->ignore();
        return {};
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return localPaths(event->mimeData());
}

void FileDropTarget::paintOutline(QPainter& painter) const {
    if (!mHovering) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(mSurface->palette().color(QPalette::Highlight), kOutlineWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(mSurface->rect())
                         .adjusted(kOutlineInset, kOutlineInset, -kOutlineInset, -kOutlineInset));
    painter.restore();
}

QStringList FileDropTarget::localPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        if (path.isEmpty()) continue;
        paths.append(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    }
    return paths;
}

void FileDropTarget::setHovering(bool hovering) {
    if (mHovering == hovering) return;
    mHovering = hovering;
    mSurface->update();
}

} // namespace vantle
