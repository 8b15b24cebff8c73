#include "ui/MRCoolTextView.h"

#include <QAbstractScrollArea>
#include <QDragEnterEvent>
#include <QPainter>
#include <limits>

namespace vantle {

namespace {

// The title wraps this much narrower than the view.
constexpr int kWrapMargin = 20;
constexpr int kTextFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
// How far the face of the letters sits from the base colour towards the text colour.
constexpr qreal kFaceWeight = 0.4;
// Themes whose base is at least this light count as light ones.
constexpr qreal kLightBase = 0.5;
constexpr qreal kEdgeWeight = 0.6;
constexpr qreal kEmbossOffset = 1.0;

QColor mix(const QColor& from, const QColor& to, qreal weight) {
    const auto channel = [weight](float a, float b) { return a + (b - a) * float(weight); };
    return QColor::fromRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                            channel(from.blueF(), to.blueF()));
}

} // namespace

MRCoolTextView::MRCoolTextView(QWidget* parent) : QWidget(parent), mDrops(this, this) {
    setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleDescription(tr("Files dropped here are added to the queue"));
    setSize(kDefaultSize);
}

void MRCoolTextView::placeOver(QAbstractScrollArea* view) {
    QWidget* viewport = view->viewport();
    mCovered = view;
    mCoveredDescription = view->accessibleDescription();
    setParent(viewport);
    setGeometry(viewport->rect());
    viewport->installEventFilter(this);
}

bool MRCoolTextView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == parentWidget())
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void MRCoolTextView::setSize(float size) {
    if (size == mTextSize) return;
    mTextSize = size;
    mFont = font();
    mFont.setPointSizeF(size);
    update();
}

void MRCoolTextView::setTitle(const QString& text) {
    mTitle = text;
    // Drawn, not a label: read out by its name.
    setAccessibleName(text);
    describeCovered();
    update();
}

void MRCoolTextView::setVisible(bool visible) {
    QWidget::setVisible(visible);
    describeCovered();
}

void MRCoolTextView::describeCovered() {
    if (!mCovered) return;
    const bool shown = !isHidden() && !mTitle.isEmpty();
    mCovered->setAccessibleDescription(shown ? mTitle : mCoveredDescription);
}

QSizeF MRCoolTextView::heightForStringDrawing() const {
    if (mTitle.isEmpty()) return {0, 0};
    const qreal wrap = qMax(0, width() - kWrapMargin);
    const QRectF bounds(0, 0, wrap, std::numeric_limits<int>::max());
    return QFontMetricsF(mFont).boundingRect(bounds, kTextFlags, mTitle).size();
}

QRectF MRCoolTextView::textRect() const {
    const QSizeF used = heightForStringDrawing();
    return {(width() - used.width()) / 2, (height() - used.height()) / 2, used.width(),
            used.height()};
}

void MRCoolTextView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    mDrops.paintOutline(painter);
    if (mTitle.isEmpty()) return;
    const QPalette colours = palette();
    const QColor base = colours.color(QPalette::Base);
    const QColor face = mix(base, colours.color(QPalette::Text), kFaceWeight);
    // The edge lies one pixel above the face, away from the text colour: a shade of the dark
    // role on light themes, of the shadow on dark ones, so it shows on either base.
    const QPalette::ColorRole edgeRole =
        base.lightnessF() >= kLightBase ? QPalette::Dark : QPalette::Shadow;
    const QColor edge = mix(base, colours.color(edgeRole), kEdgeWeight);
    const QRectF where = textRect();
    painter.setFont(mFont);
    painter.setPen(edge);
    painter.drawText(where, kTextFlags, mTitle);
    painter.setPen(face);
    painter.drawText(where.translated(0, kEmbossOffset), kTextFlags, mTitle);
}

void MRCoolTextView::setDropPolicy(DropPolicy policy) {
    mDrops.setPolicy(std::move(policy));
}

bool MRCoolTextView::acceptsDrop(const QMimeData* mime, const QObject* source) const {
    return mDrops.accepts(mime, source);
}

void MRCoolTextView::dragEnterEvent(QDragEnterEvent* event) {
    mDrops.hover(event);
}

void MRCoolTextView::dragMoveEvent(QDragMoveEvent* event) {
    mDrops.hover(event);
}

void MRCoolTextView::dragLeaveEvent(QDragLeaveEvent* event) {
    mDrops.leave();
    event->accept();
}

void MRCoolTextView::dropEvent(QDropEvent* event) {
    const QStringList paths = mDrops.drop(event);
    if (!paths.isEmpty()) emit filesDropped(paths);
}

} // namespace vantle
