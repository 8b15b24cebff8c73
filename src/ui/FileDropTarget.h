#pragma once

#include <QStringList>
#include <functional>

class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class QObject;
class QPainter;
class QWidget;

namespace vantle {

// Whether files may be dropped right now; the owner answers (never for the phone's table, never
// while a sheet is open).
using DropPolicy = std::function<bool()>;

// What the window's drop areas share: which drags they take, the outline shown while one hovers,
// and the local paths a drop carries. The owning widget forwards its drag events here.
class FileDropTarget {
public:
    // `owner` receives the drags; `surface` is where the outline is painted (a view's viewport).
    FileDropTarget(QWidget* owner, QWidget* surface);

    void setPolicy(DropPolicy policy);

    // Local files, allowed by the policy, and not dragged out of a file table or the owner itself.
    bool accepts(const QMimeData* data, const QObject* source) const;

    // Enter and move: accept with the copy action or refuse, and show the outline while accepted.
    void hover(QDragMoveEvent* event);
    void leave();
    // The absolute local paths in the drag's order, or none when the drop is refused.
    QStringList drop(QDropEvent* event);

    // Draws the outline on the surface while an accepted drag hovers; call from its paint event.
    void paintOutline(QPainter& painter) const;

    // The local files a drag carries, as absolute paths in its order.
    static QStringList localPaths(const QMimeData* data);

private:
    void setHovering(bool hovering);

    QWidget* mOwner;
    QWidget* mSurface;
    DropPolicy mPolicy;
    bool mHovering = false;
};

} // namespace vantle
