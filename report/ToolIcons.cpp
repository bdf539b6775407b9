#include "ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSize = 24;
const QColor kInk(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kAccent(30, 90, 170);

void Page(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void Triangle(QPainter& p, double x, double dir) {
    QPainterPath path;
    path.moveTo(x, 6);
    path.lineTo(x + 8 * dir, 12);
    path.lineTo(x, 18);
    path.closeSubpath();
    p.fillPath(path, kAccent);
}

void Printer(QPainter& p) {
    Page(p, QRectF(7, 3, 10, 7));
    p.setBrush(QColor(190, 190, 190));
    p.drawRoundedRect(QRectF(3, 9, 18, 9), 2, 2);
    Page(p, QRectF(7, 15, 10, 6));
}

} // namespace

QIcon MakeToolIcon(ToolIcon kind) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    switch (kind) {
    case ToolIcon::Fit:
        Page(p, QRectF(7, 3, 10, 18));
        p.setPen(QPen(kAccent, 1));
        for (double y : {7.0, 10.0, 13.0, 16.0})
            p.drawLine(QPointF(9, y), QPointF(15, y));
        break;
    case ToolIcon::Actual:
        Page(p, QRectF(3, 3, 18, 18));
        p.setPen(kAccent);
        p.drawText(QRectF(3, 3, 18, 18), Qt::AlignCenter, QStringLiteral("1:1"));
        break;
    case ToolIcon::Width:
        Page(p, QRectF(5, 3, 14, 18));
        p.setPen(QPen(kAccent, 1.6));
        p.drawLine(QPointF(2, 12), QPointF(22, 12));
        p.drawLine(QPointF(2, 12), QPointF(5, 9));
        p.drawLine(QPointF(2, 12), QPointF(5, 15));
        p.drawLine(QPointF(22, 12), QPointF(19, 9));
        p.drawLine(QPointF(22, 12), QPointF(19, 15));
        break;
    case ToolIcon::First:
        p.fillRect(QRectF(5, 6, 2, 12), kAccent);
        Triangle(p, 17, -1);
        break;
    case ToolIcon::Prior:
        Triangle(p, 15, -1);
        break;
    case ToolIcon::Next:
        Triangle(p, 9, 1);
        break;
    case ToolIcon::Last:
        Triangle(p, 7, 1);
        p.fillRect(QRectF(17, 6, 2, 12), kAccent);
        break;
    case ToolIcon::Setup:
        Printer(p);
        p.setPen(QPen(kAccent, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(18, 18), 3.5, 3.5);
        break;
    case ToolIcon::Print:
        Printer(p);
        break;
    case ToolIcon::Pdf:
        Page(p, QRectF(5, 2, 14, 20));
        p.fillRect(QRectF(2, 10, 20, 8), QColor(190, 30, 30));
        p.setPen(Qt::white);
        p.drawText(QRectF(2, 10, 20, 8), Qt::AlignCenter, QStringLiteral("PDF"));
        break;
    case ToolIcon::Exit:
        p.setPen(QPen(QColor(170, 30, 30), 2.4));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    }
    p.end();
    return QIcon(pixmap);
}
