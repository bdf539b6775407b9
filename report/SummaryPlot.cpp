// The plots of a summary, on a page and in a window alike.
#include "SummaryPlot.h"

#include "ChartStyle.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>

namespace {

const char* const kPhaseNames[] = {"A", "B", "C"};

} // namespace

double PhaseValue(const PhaseValues& phase, int index) {
    const double values[] = {phase.T1, phase.T2, phase.T3, phase.T, phase.R1, phase.R2};
    return values[index];
}

void SetPlotFont(QPainter& painter, double resolution, double points, bool bold) {
    QFont font(SongtiFamily());
    font.setPointSizeF(points * 25.4 / resolution);
    font.setBold(bold);
    painter.setFont(font);
}

void DrawPlotFrame(QPainter& p, double resolution, QRectF box, const QString& title) {
    p.setPen(QPen(Qt::black, 0.25));
    p.drawRect(box);
    SetPlotFont(p, resolution, 7, true);
    p.drawText(QRectF(box.left(), box.top() - 5, box.width(), 5), Qt::AlignLeft | Qt::AlignBottom,
               title);
}

void DrawSummaryPlot(QPainter& p, double resolution, QRectF box,
                     const QList<const JudgedTest*>& tests, const QList<JudgedTest>& baselines,
                     SummaryPlotKind kind, bool up) {
    const bool time = kind == SummaryPlotKind::Time;
    const QList<int> values = time ? QList<int>{3} : QList<int>{4, 5};
    const QString direction = up ? QStringLiteral("->") : QStringLiteral("<-");
    const QString title =
        time ? QCoreApplication::translate("SummaryPlot", "过渡时间 T %1 (ms)").arg(direction)
             : QCoreApplication::translate("SummaryPlot", "过渡电阻 R1、R2 %1 (Ω)").arg(direction);
    p.save();
    DrawPlotFrame(p, resolution, box, title);
    double low = 1e300, high = -1e300;
    int first = 999, last = -1;
    for (const JudgedTest* t : tests) {
        first = std::min(first, t->step);
        last = std::max(last, t->step);
        for (const PhaseValues& v : t->phases)
            if (v.found)
                for (int i : values) {
                    low = std::min(low, PhaseValue(v, i));
                    high = std::max(high, PhaseValue(v, i));
                }
    }
    if (last < 0 || high < low) {
        p.restore();
        return;
    }
    if (high - low < 1e-9)
        high = low + 1;
    const double pad = (high - low) * 0.1;
    low -= pad;
    high += pad;
    if (last == first)
        ++last;
    const QRectF inner = box.adjusted(9, 2, -2, -6);
    const auto at = [&](int step, double v) {
        return QPointF(inner.left() + (step - first) * inner.width() / (last - first),
                       inner.bottom() - (v - low) * inner.height() / (high - low));
    };
    SetPlotFont(p, resolution, 5.5);
    for (int k = 0; k <= 4; ++k) {
        const double v = low + (high - low) * k / 4;
        const QPointF point = at(first, v);
        p.setPen(QPen(QColor(200, 200, 200), 0.1));
        p.drawLine(QPointF(inner.left(), point.y()), QPointF(inner.right(), point.y()));
        p.setPen(Qt::black);
        p.drawText(QRectF(box.left(), point.y() - 2, 8.5, 4), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(v, 'f', values.front() < 4 ? 1 : 2));
    }
    const int every = std::max(1, (last - first) / 8);
    for (int step = first; step <= last; step += every) {
        const QPointF point = at(step, low);
        p.drawText(QRectF(point.x() - 6, inner.bottom() + 0.5, 12, 4), Qt::AlignHCenter,
                   QString::number(step));
    }
    for (int ph = 0; ph < 3; ++ph)
        for (int i : values) {
            QPainterPath line;
            bool started = false;
            for (const JudgedTest* t : tests) {
                const PhaseValues& v = t->phases[ph];
                if (!v.found)
                    continue;
                const QPointF point = at(t->step, PhaseValue(v, i));
                started ? line.lineTo(point) : line.moveTo(point);
                started = true;
                // A mark of its own per phase: circle, square, triangle.
                p.setPen(QPen(PhaseColor(ph + 1).darker(160), 0.25));
                const QRectF mark(point.x() - 0.7, point.y() - 0.7, 1.4, 1.4);
                if (ph == 0)
                    p.drawEllipse(mark);
                else if (ph == 1)
                    p.drawRect(mark);
                else
                    p.drawPolygon(QPolygonF({QPointF(point.x(), point.y() - 0.8),
                                             QPointF(point.x() - 0.8, point.y() + 0.7),
                                             QPointF(point.x() + 0.8, point.y() + 0.7)}));
            }
            p.setPen(
                QPen(PhaseColor(ph + 1).darker(160), i == 5 ? 0.2 : 0.35, kPhaseLineStyles[ph]));
            p.setBrush(Qt::NoBrush);
            p.drawPath(line);
            QPainterPath base;
            bool based = false;
            for (const JudgedTest& b : baselines) {
                const PhaseValues& v = b.phases[ph];
                if (!v.found || b.step < first || b.step > last)
                    continue;
                const QPointF point = at(b.step, PhaseValue(v, i));
                based ? base.lineTo(point) : base.moveTo(point);
                based = true;
            }
            if (based) {
                p.setPen(QPen(QColor(120, 120, 120), 0.2, Qt::DashDotLine));
                p.drawPath(base);
            }
        }
    // The key: phase, line style and mark.
    SetPlotFont(p, resolution, 5.5);
    for (int ph = 0; ph < 3; ++ph) {
        const double x = box.right() - 36 + ph * 12;
        p.setPen(QPen(PhaseColor(ph + 1).darker(160), 0.35, kPhaseLineStyles[ph]));
        p.drawLine(QPointF(x, box.top() - 2), QPointF(x + 5, box.top() - 2));
        p.setPen(Qt::black);
        p.drawText(QRectF(x + 5.5, box.top() - 4, 6, 4), Qt::AlignLeft | Qt::AlignVCenter,
                   QLatin1String(kPhaseNames[ph]));
    }
    p.restore();
}
