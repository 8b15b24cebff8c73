#include "ui/MRFileCell.h"

#include "ui/FileRoles.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace vantle {

namespace {

constexpr int kIconLeft = 12;
constexpr int kIconTop = 4;
constexpr int kIconSide = 32;
constexpr int kTextLeft = 50;
// The name's width leaves this much of the row unused (the icon column and a right margin).
constexpr int kTextWidthReserve = 60;
constexpr int kNameTop = 7;
// The size line starts this far below the name's top, or a line of the name's font if taller.
constexpr int kSizeLineOffset = 14;
constexpr int kBottomMargin = 6;
constexpr qreal kNamePoints = 10.0;
constexpr qreal kSizeLinePoints = 9.0;
// How much of the text colour the size line keeps over the base: a quieter tone that stays
// readable wherever the name is.
constexpr qreal kSizeLineOpacity = 0.62;
constexpr int kNaturalWidth = 100;
// The keyboard's row: a frame this wide, this far inside the row, with rounded corners.
constexpr qreal kFocusFrameWidth = 2.0;
constexpr qreal kFocusFrameInset = 1.0;
constexpr qreal kFocusFrameRadius = 3.0;

QFont withPoints(QFont font, qreal points) {
    font.setPointSizeF(points);
    return font;
}

} // namespace

MRFileCell::MRFileCell(QObject* parent) : QStyledItemDelegate(parent) {}

QFont MRFileCell::nameFont(const QFont& viewFont) {
    return withPoints(viewFont, kNamePoints);
}

QFont MRFileCell::sizeLineFont(const QFont& viewFont) {
    return withPoints(viewFont, kSizeLinePoints);
}

QRect MRFileCell::iconRect(const QRect& row) {
    return {row.x() + kIconLeft, row.y() + kIconTop, kIconSide, kIconSide};
}

QRect MRFileCell::nameRect(const QRect& row, const QFont& viewFont) {
    const int height = QFontMetrics(nameFont(viewFont)).height();
    return {row.x() + kTextLeft, row.y() + kNameTop, row.width() - kTextWidthReserve, height};
}

QRect MRFileCell::sizeLineRect(const QRect& row, const QFont& viewFont) {
    const QRect name = nameRect(row, viewFont);
    const int top = name.y() + qMax(kSizeLineOffset, name.height());
    const int height = QFontMetrics(sizeLineFont(viewFont)).height();
    return {name.x(), top, name.width(), height};
}

int MRFileCell::rowHeight(const QFont& viewFont) {
    const QRect sizeLine = sizeLineRect(QRect(0, 0, kNaturalWidth, 0), viewFont);
    return qMax(kIconTop + kIconSide + kIconTop, sizeLine.bottom() + 1 + kBottomMargin);
}

QSize MRFileCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {kNaturalWidth, rowHeight(option.font)};
}

void MRFileCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                       const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    // The style draws the selection only: the text, the icon and the focus frame are ours.
    background.text.clear();
    background.icon = QIcon();
    background.features &= ~QStyleOptionViewItem::HasDecoration;
    background.state &= ~QStyle::State_HasFocus;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QRect row = option.rect;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        !option.state.testFlag(QStyle::State_Enabled) ? QPalette::Disabled
        : option.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                      : QPalette::Inactive;
    const QColor textColour =
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);

    painter->save();
    paintIcon(painter, iconRect(row), index.data(Qt::DecorationRole), selected);

    const QRect name = nameRect(row, option.font);
    if (name.width() > 0) {
        const QFont font = nameFont(option.font);
        painter->setFont(font);
        painter->setPen(textColour);
        const QString text = QFontMetrics(font).elidedText(index.data(Qt::DisplayRole).toString(),
                                                           Qt::ElideMiddle, name.width());
        painter->drawText(name, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);

        const QString sizeText = index.data(SizeLineRole).toString();
        if (!sizeText.isEmpty()) {
            const QFont smallFont = sizeLineFont(option.font);
            QColor quiet = textColour;
            quiet.setAlphaF(quiet.alphaF() * kSizeLineOpacity);
            painter->setFont(smallFont);
            painter->setPen(quiet);
            const QRect sizeLine = sizeLineRect(row, option.font);
            painter->drawText(
                sizeLine, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                QFontMetrics(smallFont).elidedText(sizeText, Qt::ElideRight, sizeLine.width()));
        }
    }
    if (option.state.testFlag(QStyle::State_HasFocus))
        paintFocusFrame(painter, row,
                        option.palette.color(group, selected ? QPalette::HighlightedText
                                                             : QPalette::Highlight));
    painter->restore();
}

void MRFileCell::paintFocusFrame(QPainter* painter, const QRect& area, const QColor& colour) {
    // Drawn in the highlight's colours: it stands out on the base and on a selected row, in
    // light and dark themes alike, where the style's dotted ring is faint or missing.
    const qreal inset = kFocusFrameInset + kFocusFrameWidth / 2;
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(colour, kFocusFrameWidth));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(area).adjusted(inset, inset, -inset, -inset), kFocusFrameRadius,
                             kFocusFrameRadius);
}

void MRFileCell::paintIcon(QPainter* painter, const QRect& target, const QVariant& decoration,
                           bool selected) {
    if (decoration.typeId() == QMetaType::QIcon) {
        decoration.value<QIcon>().paint(painter, target, Qt::AlignCenter,
                                        selected ? QIcon::Selected : QIcon::Normal);
        return;
    }
    QImage image;
    if (decoration.typeId() == QMetaType::QImage) {
        image = decoration.value<QImage>();
    } else if (decoration.typeId() == QMetaType::QPixmap) {
        image = decoration.value<QPixmap>().toImage();
    }
    if (image.isNull()) return;
    // Icons larger than the slot shrink to fit it; smaller ones keep their size, centred. Sizes
    // are the image's own in the row's units: one drawn at twice the density fills its slot
    // with every pixel it has, which keeps it sharp on screens scaled up.
    const QSize own = image.deviceIndependentSize().toSize();
    const QSize size =
        own.boundedTo(target.size()) == own ? own : own.scaled(target.size(), Qt::KeepAspectRatio);
    QRect placed(QPoint(), size);
    placed.moveCenter(target.center());
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(placed, image);
}

} // namespace vantle
