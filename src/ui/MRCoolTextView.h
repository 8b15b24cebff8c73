#pragma once

#include "ui/FileDropTarget.h"

#include <QFont>
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

    // Covers the view's viewport, following its size.
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

    QString mTitle;
    float mTextSize = -1.0F;
    QFont mFont;
    FileDropTarget mDrops;
};

} // namespace vantle
