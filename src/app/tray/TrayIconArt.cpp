// The tray icon's pictures: the program's icon, greyed without a usable phone, and with an
// arrow on a badge while the queue goes to the phone. Drawn for each size trays ask for, so
// that each is sharp.
#include "app/AppNames.h"
#include "app/tray/TrayIcon.h"

#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

// Resources of a static library have to be registered by hand, outside any namespace.
static void registerAppResources() {
    Q_INIT_RESOURCE(app);
}

namespace vantle {
namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64};
// The badge's share of the icon's side, and the arrow's of the badge's.
constexpr qreal kBadgeShare = 0.56;
constexpr qreal kArrowShare = 0.62;
// The arrow's stem, as a share of the arrow's half width.
constexpr qreal kStemShare = 0.4;
// The thinnest line that stays visible at 16 pixels, in pixels per 16 of the side.
constexpr qreal kOutlinePerSixteen = 1.0;
constexpr qreal kSixteen = 16.0;
// Green: it stands out on the icon's blue and on light and dark panels alike.
const QColor kBadgeColour{0x2e, 0xa0, 0x43};

QIcon programIcon() {
    static const bool registered = (registerAppResources(), true);
    Q_UNUSED(registered);
    return QIcon::fromTheme(QLatin1String(names::kDesktopEntry),
                            QIcon(QStringLiteral(":/app/vantle.svg")));
}

// An upward arrow (to the phone) on a round badge in the lower right corner.
void drawSendingBadge(QPainter& painter, int side) {
    const qreal diameter = side * kBadgeShare;
    const QRectF badge(side - diameter, side - diameter, diameter, diameter);
    const qreal outline = std::max(1.0, side / kSixteen * kOutlinePerSixteen);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, outline));
    painter.setBrush(kBadgeColour);
    painter.drawEllipse(badge.adjusted(outline / 2, outline / 2, -outline / 2, -outline / 2));

    const qreal arrow = diameter * kArrowShare;
    const QPointF centre = badge.center();
    const qreal half = arrow / 2;
    const qreal stem = half * kStemShare;
    QPainterPath path;
    path.moveTo(centre.x(), centre.y() - half); // tip
    path.lineTo(centre.x() + half, centre.y()); // right wing
    path.lineTo(centre.x() + stem, centre.y()); // into the stem
    path.lineTo(centre.x() + stem, centre.y() + half);
    path.lineTo(centre.x() - stem, centre.y() + half);
    path.lineTo(centre.x() - stem, centre.y());
    path.lineTo(centre.x() - half, centre.y()); // left wing
    path.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(path);
}

} // namespace

QIcon TrayIcon::iconFor(Look look) {
    const QIcon base = programIcon();
    if (look == Look::Connected) return base;
    QIcon icon;
    for (const int side : kSizes) {
        const QSize size(side, side);
        if (look == Look::NotConnected) {
            icon.addPixmap(base.pixmap(size, 1.0, QIcon::Disabled));
            continue;
        }
        QPixmap picture = base.pixmap(size, 1.0);
        QPainter painter(&picture);
        drawSendingBadge(painter, side);
        painter.end();
        icon.addPixmap(picture);
    }
    return icon;
}

} // namespace vantle
