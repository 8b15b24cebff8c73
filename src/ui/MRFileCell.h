#pragma once

#include <QStyledItemDelegate>

namespace vantle {

// Draws one file row: the icon on the left, the name elided in the middle and, under it, the
// size line (none while the item is being uploaded). Colours come from the palette so the row
// reads in light and dark themes alike; the keyboard's current row, while its table has the focus,
// has a frame of the highlight's colour.
class MRFileCell : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit MRFileCell(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The height of every row drawn with a view's font.
    static int rowHeight(const QFont& viewFont);

    // The fonts of the two lines, derived from the view's font.
    static QFont nameFont(const QFont& viewFont);
    static QFont sizeLineFont(const QFont& viewFont);

    // Where the parts of a row go, for a row rectangle.
    static QRect iconRect(const QRect& row);
    static QRect nameRect(const QRect& row, const QFont& viewFont);
    static QRect sizeLineRect(const QRect& row, const QFont& viewFont);

    // The frame that shows where the keyboard is, inside `area`.
    static void paintFocusFrame(QPainter* painter, const QRect& area, const QColor& colour);

private:
    static void paintIcon(QPainter* painter, const QRect& target, const QVariant& decoration,
                          bool selected);
};

} // namespace vantle
