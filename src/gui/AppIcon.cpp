#include "gui/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace pamiro::about {

QPixmap AppPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;

    // A rounded tile with two stacked "records" and an arrow: one format in,
    // another out.
    QLinearGradient tile(0, 0, 0, s);
    tile.setColorAt(0, QColor(0x2f, 0x6f, 0xb3));
    tile.setColorAt(1, QColor(0x1b, 0x45, 0x78));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.18, s * 0.18);

    painter.setBrush(QColor(0xf2, 0xf5, 0xf9));
    for (int row = 0; row < 3; ++row) {
        painter.drawRoundedRect(QRectF(s * 0.16, s * (0.22 + row * 0.2), s * 0.3, s * 0.12),
                                s * 0.03, s * 0.03);
    }
    painter.setBrush(QColor(0xff, 0xc1, 0x3b));
    QPainterPath arrow;
    arrow.moveTo(s * 0.52, s * 0.40);
    arrow.lineTo(s * 0.66, s * 0.40);
    arrow.lineTo(s * 0.66, s * 0.28);
    arrow.lineTo(s * 0.86, s * 0.50);
    arrow.lineTo(s * 0.66, s * 0.72);
    arrow.lineTo(s * 0.66, s * 0.60);
    arrow.lineTo(s * 0.52, s * 0.60);
    arrow.closeSubpath();
    painter.drawPath(arrow);
    return pixmap;
}

QIcon AppIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(AppPixmap(size));
    return icon;
}

}  // namespace pamiro::about
