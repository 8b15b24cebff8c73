#pragma once

#include "ui/FileDropTarget.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

class QAbstractScrollArea;

namespace vantle {

// The large embossed hint drawn over the empty upload queue ("Drag files here..."). It takes
// dropped files like the queue table beneath it; clicks it does not use fall through to the table.
class MRCoolTextView : public QWidget {
    Q_OBJECT

public:
    static constexpr float kDefaultSize = 24.0F;

    explicit MRCoolTextView(QWidget* parent = nullptr);

    // Covers the view's viewport, following its size. While shown with a title, the title is
    // the view's accessible description (an item view publishes its cells, not what lies over
    // them); hidden, the view's own comes back.
    void placeOver(QAbstractScrollArea* view);

    // The text size in points; nothing changes when it is the current one.
    void setSize(float size);
    float textSize() const { return mTextSize; }
    void setTitle(const QString& text);
    QString title() const { return mTitle; }

    // The size of the title laid out with the view's text font, wrapped to its width less a margin.
    QSizeF heightForStringDrawing() const;

    void setDropPolicy(DropPolicy policy);
    bool acceptsDrop(const QMimeData* mime, const QObject* source) const;

    // Shown or hidden, before or after its window is: the covered view's description follows.
    void setVisible(bool visible) override;

signals:
    void filesDropped(const QStringList& paths);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QRectF textRect() const;
    void describeCovered();

    QString mTitle;
    float mTextSize = -1.0F;
    QFont mFont;
    FileDropTarget mDrops;
    QPointer<QAbstractScrollArea> mCovered;
    QString mCoveredDescription;
};

} // namespace vantle
