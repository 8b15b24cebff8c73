#include "ui/IDDragTableView.h"

#include "ui/MRFileCell.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

namespace vantle {

IDDragTableView::IDDragTableView(QWidget* parent) : QTableView(parent), mDrops(this, viewport()) {
    setItemDelegate(new MRFileCell(this));
    setShowGrid(false);
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setDragDropMode(QAbstractItemView::DropOnly);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    sizeRows();
}

void IDDragTableView::setDropPolicy(DropPolicy policy) {
    mDrops.setPolicy(std::move(policy));
}

bool IDDragTableView::acceptsDrop(const QMimeData* mime, const QObject* source) const {
    return mDrops.accepts(mime, source);
}

int IDDragTableView::contextRow() const {
    if (mMenu) return mMenuRow;
    return selectedCurrentRow();
}

QMenu* IDDragTableView::contextMenu() const {
    return mMenu;
}

void IDDragTableView::deleteSelected() {
    emit deleteRequested();
}

void IDDragTableView::stopButton() {
    if (const int row = contextRow(); row >= 0) emit removeRequested(row);
}

void IDDragTableView::revealButton() {
    if (const int row = contextRow(); row >= 0) emit revealRequested(row);
}

int IDDragTableView::selectedCurrentRow() const {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !selectionModel() || !selectionModel()->isRowSelected(current.row()))
        return -1;
    return current.row();
}

void IDDragTableView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        deleteSelected();
        event->accept();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (const int row = selectedCurrentRow(); row >= 0) emit rowActivated(row);
        event->accept();
        return;
    }
    const bool menuKey =
        key == Qt::Key_Menu || (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey) {
        const int row = selectedCurrentRow();
        if (row >= 0) {
            const QRect cell = visualRect(model()->index(row, 0));
            openRowMenu(row, viewport()->mapToGlobal(cell.center()));
        }
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void IDDragTableView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    if (const QModelIndex index = indexAt(event->position().toPoint()); index.isValid())
        emit rowActivated(index.row());
}

void IDDragTableView::contextMenuEvent(QContextMenuEvent* event) {
    int row = -1;
    if (event->reason() == QContextMenuEvent::Keyboard) {
        row = selectedCurrentRow();
    } else if (const QModelIndex index = indexAt(event->pos()); index.isValid()) {
        row = index.row();
        // A row clicked outside the selection becomes the selection, as in file managers.
        if (!selectionModel()->isRowSelected(row))
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    }
    if (row < 0) {
        event->ignore();
        return;
    }
    QPoint where = event->globalPos();
    if (event->reason() == QContextMenuEvent::Keyboard)
        where = viewport()->mapToGlobal(visualRect(model()->index(row, 0)).center());
    openRowMenu(row, where);
    event->accept();
}

void IDDragTableView::openRowMenu(int row, const QPoint& globalPos) {
    if (actions().isEmpty() || mMenu) return;
    auto* menu = new QMenu(this);
    menu->addActions(actions());
    // Deleted once control is back in the event loop, after a chosen action has run: the
    // action still finds its row through contextRow().
    connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
    mMenu = menu;
    mMenuRow = row;
    menu->popup(globalPos);
}

void IDDragTableView::dragEnterEvent(QDragEnterEvent* event) {
    mDrops.hover(event);
}

void IDDragTableView::dragMoveEvent(QDragMoveEvent* event) {
    mDrops.hover(event);
}

void IDDragTableView::dragLeaveEvent(QDragLeaveEvent* event) {
    mDrops.leave();
    event->accept();
}

void IDDragTableView::dropEvent(QDropEvent* event) {
    const QStringList paths = mDrops.drop(event);
    if (!paths.isEmpty()) emit filesDropped(paths);
}

void IDDragTableView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    QPainter painter(viewport());
    mDrops.paintOutline(painter);
    // With no row to frame, the table itself shows that it has the keyboard.
    if (hasFocus() && (!model() || model()->rowCount() == 0))
        MRFileCell::paintFocusFrame(&painter, viewport()->rect(),
                                    palette().color(QPalette::Active, QPalette::Highlight));
}

void IDDragTableView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    // The empty table's frame comes with the focus.
    viewport()->update();
    // Come to by the keyboard (or with its window), the framed row is the one the keys act on:
    // it is selected, unless something already is. A click selects what it hits itself.
    const Qt::FocusReason reason = event->reason();
    const bool byKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                            reason == Qt::ActiveWindowFocusReason;
    if (!byKeyboard || !model() || model()->rowCount() == 0 || selectionModel()->hasSelection())
        return;
    QModelIndex current = currentIndex();
    if (!current.isValid()) current = model()->index(0, 0);
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect |
                                                   QItemSelectionModel::Rows);
}

void IDDragTableView::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    // The empty table's frame goes with the focus.
    viewport()->update();
}

void IDDragTableView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) sizeRows();
}

void IDDragTableView::sizeRows() {
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(MRFileCell::rowHeight(font()));
}

} // namespace vantle
