#pragma once

#include "ui/FileDropTarget.h"

#include <QPointer>
#include <QTableView>

class QMenu;

namespace vantle {

// One of the window's two file tables: a single stretched column drawn by MRFileCell, whole-row
// selection, local files dropped from outside (when the owner's policy allows), and the keys and
// row actions turned into signals for the owner. It starts no drags.
class IDDragTableView : public QTableView {
    Q_OBJECT

public:
    explicit IDDragTableView(QWidget* parent = nullptr);

    // Asked on every drag; without a policy the table takes no drops.
    void setDropPolicy(DropPolicy policy);
    // Whether a drag carrying `mime` from `source` (null: from outside the program) is taken now.
    bool acceptsDrop(const QMimeData* mime, const QObject* source) const;

    // The row the row actions act on: the row of the open context menu, else the current row when
    // it is selected; -1 when there is none.
    int contextRow() const;

    // The context menu of a row, or null while none is open.
    QMenu* contextMenu() const;

public slots:
    // The Edit menu's Delete, like the Delete and Backspace keys.
    void deleteSelected();
    // The row actions "remove" and "reveal" of contextRow(); nothing without a row.
    void stopButton();
    void revealButton();

signals:
    void filesDropped(const QStringList& paths);
    void deleteRequested();
    void rowActivated(int row);
    void removeRequested(int row);
    void revealRequested(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void openRowMenu(int row, const QPoint& globalPos);
    int selectedCurrentRow() const;
    void sizeRows();

    FileDropTarget mDrops;
    QPointer<QMenu> mMenu;
    int mMenuRow = -1;
};

} // namespace vantle
