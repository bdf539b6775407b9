#include "Hourglass.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kGlass(40, 40, 40);
const QColor kSand(214, 160, 40);
const QColor kWood(120, 72, 30);

// Upper bulb from y 5 to 16, lower from 16 to 27; `upper` and `lower` are the
// sand fractions, `stream` draws the falling thread.
QPixmap Draw(double upper, double lower, bool stream) {
    QPixmap pixmap(kHourglassSize, kHourglassSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath glass;
    glass.moveTo(8, 5);
    glass.lineTo(24, 5);
    glass.lineTo(17, 16);
    glass.lineTo(24, 27);
    glass.lineTo(8, 27);
    glass.lineTo(15, 16);
    glass.closeSubpath();

    p.save();
    p.setClipPath(glass);
    p.fillRect(QRectF(0, 0, kHourglassSize, kHourglassSize), QColor(235, 245, 255));
    // The upper sand sits on the neck; the lower sand piles up from the base.
    p.fillRect(QRectF(0, 16 - 11 * upper, kHourglassSize, 11 * upper), kSand);
    p.fillRect(QRectF(0, 27 - 11 * lower, kHourglassSize, 11 * lower), kSand);
    if (stream)
        p.fillRect(QRectF(15.5, 16, 1, 11), kSand);
    p.restore();

    p.setPen(QPen(kGlass, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(kWood);
    p.drawRect(QRectF(6, 2, 20, 3));
    p.drawRect(QRectF(6, 27, 20, 3));
    return pixmap;
}

} // namespace

const std::array<QPixmap, kHourglassFrames>& HourglassFrames() {
    static const std::array<QPixmap, kHourglassFrames> frames = {
        Draw(0.9, 0.1, true),
        Draw(0.6, 0.4, true),
        Draw(0.35, 0.65, true),
        Draw(0.1, 0.9, true),
    };
    return frames;
}

const QPixmap& HourglassIcon() {
    static const QPixmap icon = Draw(1.0, 0.0, false);
    return icon;
}
