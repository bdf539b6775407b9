#include "SummaryReport.h"

#include "ChartStyle.h"
#include "FileTarget.h"
#include "Helpers.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <cmath>

namespace {

constexpr double kPageWidth = 210, kPageHeight = 297, kMargin = 15;
constexpr double kWidth = kPageWidth - 2 * kMargin;
constexpr double kBottom = kPageHeight - kMargin;

const char* const kPhaseNames[] = {"A", "B", "C"};
const char* const kValueNames[] = {"T1", "T2", "T3", "T", "R1", "R2"};
const Qt::PenStyle kPhaseLines[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};

double ValueOf(const PhaseValues& p, int i) {
    const double values[] = {p.T1, p.T2, p.T3, p.T, p.R1, p.R2};
    return values[i];
}

QString VerdictText(Verdict v) {
    switch (v) {
    case Verdict::Pass:
        return QStringLiteral("合格");
    case Verdict::Fail:
        return QStringLiteral("不合格");
    case Verdict::Unknown:
        return QStringLiteral("无法判断");
    }
    return {};
}

// Draws in millimetres from the page's top left, a page at a time.
class Pages {
public:
    explicit Pages(QPdfWriter& writer) : writer_(writer), painter_(&writer) {
        const double scale = writer.resolution() / 25.4;
        painter_.scale(scale, scale);
        painter_.setRenderHint(QPainter::Antialiasing);
        y_ = kMargin;
    }
    QPainter& P() { return painter_; }
    double& Y() { return y_; }
    // Room for `height` more millimetres, on a new page when not on this one.
    void Need(double height) {
        if (y_ + height <= kBottom)
            return;
        writer_.newPage();
        y_ = kMargin;
    }
    void Font(double points, bool bold = false) {
        QFont font(SongtiFamily());
        // The painter is scaled to millimetres: the font's points would be scaled too.
        font.setPointSizeF(points * 25.4 / writer_.resolution());
        font.setBold(bold);
        painter_.setFont(font);
    }
    void Text(double x, double w, double h, const QString& text, int align = Qt::AlignLeft) {
        painter_.drawText(QRectF(x, y_, w, h), int(align) | Qt::AlignVCenter, text);
    }

private:
    QPdfWriter& writer_;
    QPainter painter_;
    double y_;
};

void Heading(Pages& pages, const SummaryPages& s) {
    QPainter& p = pages.P();
    pages.Font(14, true);
    pages.Text(kMargin, kWidth, 9, QStringLiteral("有载分接开关过渡过程测试汇总"),
               Qt::AlignHCenter);
    pages.Y() += 11;
    pages.Font(9);
    const SummaryHeading& h = s.heading;
    const QString lines[] = {
        QStringLiteral("测试地点：%1").arg(h.place),
        QStringLiteral("被试设备：%1").arg(h.device),
        QStringLiteral("测试时间：%1 至 %2").arg(h.from, h.to),
        QStringLiteral("测试人员：%1").arg(h.user),
    };
    for (int i = 0; i < 4; ++i) {
        pages.Text(kMargin + (i % 2) * kWidth / 2, kWidth / 2, 5, lines[i]);
        if (i == 1)
            pages.Y() += 5.5;
    }
    pages.Y() += 11;
    pages.Font(10, true);
    int failing = 0, unknown = 0;
    for (const JudgedTest& t : s.campaign.tests) {
        failing += t.verdict == Verdict::Fail;
        unknown += t.verdict == Verdict::Unknown;
    }
    pages.Text(kMargin, kWidth, 6,
               QStringLiteral("结论：%1（共 %2 次测试，不合格 %3 次，无法判断 %4 次）")
                   .arg(VerdictText(s.campaign.overall))
                   .arg(s.campaign.tests.size())
                   .arg(failing)
                   .arg(unknown));
    pages.Y() += 8;
    p.setPen(QPen(Qt::black, 0.3));
    p.drawLine(QPointF(kMargin, pages.Y()), QPointF(kMargin + kWidth, pages.Y()));
    pages.Y() += 3;
}

bool Failed(const JudgedTest& t, int phase, const char* value) {
    for (const Finding& f : t.findings)
        if (f.rule != u"markers" && f.phase == phase && f.value == QLatin1String(value))
            return true;
    return false;
}

void Table(Pages& pages, const QList<const JudgedTest*>& tests, const QString& title) {
    QPainter& p = pages.P();
    const double stepWidth = 16, verdictWidth = 14;
    const double cell = (kWidth - stepWidth - verdictWidth) / 18;
    const double row = 4.6;
    pages.Need(2 * row + 8);
    pages.Font(10, true);
    pages.Text(kMargin, kWidth, 6, title);
    pages.Y() += 7;
    const auto header = [&] {
        pages.Font(6.5, true);
        p.setPen(QPen(Qt::black, 0.2));
        pages.Text(kMargin, stepWidth, row, QStringLiteral("分接"), Qt::AlignHCenter);
        for (int ph = 0; ph < 3; ++ph)
            for (int i = 0; i < 6; ++i)
                pages.Text(kMargin + stepWidth + (ph * 6 + i) * cell, cell, row,
                           QStringLiteral("%1 %2").arg(QLatin1String(kPhaseNames[ph]),
                                                       QLatin1String(kValueNames[i])),
                           Qt::AlignHCenter);
        pages.Text(kMargin + kWidth - verdictWidth, verdictWidth, row, QStringLiteral("结论"),
                   Qt::AlignHCenter);
        pages.Y() += row;
        p.drawLine(QPointF(kMargin, pages.Y()), QPointF(kMargin + kWidth, pages.Y()));
    };
    header();
    for (const JudgedTest* t : tests) {
        if (pages.Y() + row > kBottom) {
            pages.Need(kPageHeight);
            header();
        }
        pages.Font(6.5);
        pages.Text(kMargin, stepWidth, row, StepText(t->step), Qt::AlignHCenter);
        for (int ph = 0; ph < 3; ++ph) {
            const PhaseValues& v = t->phases[ph];
            for (int i = 0; i < 6; ++i) {
                const double x = kMargin + stepWidth + (ph * 6 + i) * cell;
                if (!v.drawn)
                    continue;
                const bool bad = Failed(*t, ph, kValueNames[i]);
                pages.Font(6.5, bad);
                const QString text = !v.found ? QStringLiteral("—")
                                              : QString::number(ValueOf(v, i), 'f', i < 4 ? 1 : 2);
                pages.Text(x, cell, row, text, Qt::AlignHCenter);
                if (bad)
                    p.drawRect(QRectF(x + 0.4, pages.Y() + 0.4, cell - 0.8, row - 0.8));
            }
        }
        pages.Font(6.5, t->verdict != Verdict::Pass);
        pages.Text(kMargin + kWidth - verdictWidth, verdictWidth, row, VerdictText(t->verdict),
                   Qt::AlignHCenter);
        pages.Y() += row;
    }
    p.drawLine(QPointF(kMargin, pages.Y()), QPointF(kMargin + kWidth, pages.Y()));
    pages.Y() += 4;
}

// A picture's frame and its title above it.
void Frame(Pages& pages, QRectF box, const QString& title) {
    QPainter& p = pages.P();
    p.setPen(QPen(Qt::black, 0.25));
    p.drawRect(box);
    pages.Font(7, true);
    p.drawText(QRectF(box.left(), box.top() - 5, box.width(), 5), Qt::AlignLeft | Qt::AlignBottom,
               title);
}

// One plot: values against the tap step, a line per phase; the baseline's dashed grey.
void Plot(Pages& pages, QRectF box, const QList<const JudgedTest*>& tests,
          const QList<JudgedTest>& baselines, const QList<int>& values, const QString& title,
          const QString& unit) {
    QPainter& p = pages.P();
    p.save();
    Frame(pages, box, title + QStringLiteral(" (%1)").arg(unit));
    double low = 1e300, high = -1e300;
    int first = 999, last = -1;
    for (const JudgedTest* t : tests) {
        first = std::min(first, t->step);
        last = std::max(last, t->step);
        for (const PhaseValues& v : t->phases)
            if (v.found)
                for (int i : values) {
                    low = std::min(low, ValueOf(v, i));
                    high = std::max(high, ValueOf(v, i));
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
    pages.Font(5.5);
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
                const QPointF point = at(t->step, ValueOf(v, i));
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
            p.setPen(QPen(PhaseColor(ph + 1).darker(160), i == 5 ? 0.2 : 0.35, kPhaseLines[ph]));
            p.setBrush(Qt::NoBrush);
            p.drawPath(line);
            QPainterPath base;
            bool based = false;
            for (const JudgedTest& b : baselines) {
                const PhaseValues& v = b.phases[ph];
                if (!v.found || b.step < first || b.step > last)
                    continue;
                const QPointF point = at(b.step, ValueOf(v, i));
                based ? base.lineTo(point) : base.moveTo(point);
                based = true;
            }
            if (based) {
                p.setPen(QPen(QColor(120, 120, 120), 0.2, Qt::DashDotLine));
                p.drawPath(base);
            }
        }
    // The key: phase, line style and mark.
    pages.Font(5.5);
    for (int ph = 0; ph < 3; ++ph) {
        const double x = box.right() - 36 + ph * 12;
        p.setPen(QPen(PhaseColor(ph + 1).darker(160), 0.35, kPhaseLines[ph]));
        p.drawLine(QPointF(x, box.top() - 2), QPointF(x + 5, box.top() - 2));
        p.setPen(Qt::black);
        p.drawText(QRectF(x + 5.5, box.top() - 4, 6, 4), Qt::AlignLeft | Qt::AlignVCenter,
                   QLatin1String(kPhaseNames[ph]));
    }
    p.restore();
}

void Waveforms(Pages& pages, const JudgedTest& t, const TestRecord& record, QRectF box) {
    QPainter& p = pages.P();
    p.save();
    Frame(pages, box, QStringLiteral("%1  %2").arg(StepText(t.step), t.time));
    // Around the transition: from 5 ms before the first t1 to 5 ms after the last t4.
    int from = kSampleCount, to = 1;
    for (const PhaseValues& v : t.phases)
        if (v.found) {
            from = std::min(from, v.t[0] - 50);
            to = std::max(to, v.t[3] + 50);
        }
    if (to <= from) {
        from = 1;
        to = kSampleCount;
    }
    from = std::max(1, from);
    to = std::min(kSampleCount, to);
    double high = 1;
    for (int ph = 0; ph < 3; ++ph)
        if (t.phases[ph].drawn)
            for (int i = from; i <= to; ++i)
                high = std::max(high, double(std::min(record.SampleAt(ph + 1, i), 20000)));
    const QRectF inner = box.adjusted(1, 1, -1, -1);
    const double band = inner.height() / 3;
    for (int ph = 0; ph < 3; ++ph) {
        if (!t.phases[ph].drawn)
            continue;
        const double top = inner.top() + ph * band;
        const auto at = [&](int i, double v) {
            return QPointF(inner.left() + (i - from) * inner.width() / std::max(1, to - from),
                           top + band - std::min(v, high) * (band - 1) / high);
        };
        QPainterPath line;
        for (int i = from; i <= to; ++i)
            i == from ? line.moveTo(at(i, record.SampleAt(ph + 1, i)))
                      : line.lineTo(at(i, record.SampleAt(ph + 1, i)));
        p.setPen(QPen(PhaseColor(ph + 1).darker(160), 0.2, kPhaseLines[ph]));
        p.drawPath(line);
        p.setPen(QPen(Qt::black, 0.15, Qt::DotLine));
        if (t.phases[ph].found)
            for (int m : t.phases[ph].t)
                if (m >= from && m <= to)
                    p.drawLine(QPointF(at(m, 0).x(), top), QPointF(at(m, 0).x(), top + band));
        pages.Font(5.5);
        p.setPen(Qt::black);
        p.drawText(QRectF(inner.left() + 0.5, top, 4, 3), Qt::AlignLeft | Qt::AlignTop,
                   QLatin1String(kPhaseNames[ph]));
    }
    p.restore();
}

} // namespace

QByteArray SummaryPdf(const SummaryPages& s) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("有载分接开关过渡过程测试汇总"));
        writer.setCreator(QStringLiteral("oltc"));
        writer.setResolution(600);
        Pages pages(writer);
        Heading(pages, s);
        for (const bool up : {true, false}) {
            QList<const JudgedTest*> tests;
            for (const JudgedTest& t : s.campaign.tests)
                if (t.up == up)
                    tests << &t;
            if (tests.isEmpty())
                continue;
            const QString direction = up ? QStringLiteral("->") : QStringLiteral("<-");
            Table(pages, tests, QStringLiteral("分接方向 %1").arg(direction));
            QList<JudgedTest> baselines;
            for (const JudgedTest& b : s.baselines)
                if (b.up == up)
                    baselines << b;
            pages.Need(58);
            pages.Y() += 5;
            const double w = (kWidth - 8) / 2;
            Plot(pages, QRectF(kMargin, pages.Y(), w, 48), tests, baselines, {3},
                 QStringLiteral("过渡时间 T %1").arg(direction), QStringLiteral("ms"));
            Plot(pages, QRectF(kMargin + w + 8, pages.Y(), w, 48), tests, baselines, {4, 5},
                 QStringLiteral("过渡电阻 R1、R2 %1").arg(direction), QStringLiteral("Ω"));
            pages.Y() += 54;
        }
        // The findings in words.
        pages.Need(14);
        pages.Font(10, true);
        pages.Text(kMargin, kWidth, 6, QStringLiteral("判断依据"));
        pages.Y() += 7;
        pages.Font(7.5);
        QStringList lines = s.campaign.notes;
        for (const JudgedTest& t : s.campaign.tests)
            for (const Finding& f : t.findings)
                lines << QStringLiteral("%1  %2").arg(StepText(t.step), f.text);
        if (lines.isEmpty())
            lines << QStringLiteral("所有测试均在允许范围之内。");
        for (const QString& line : lines) {
            pages.Need(4.2);
            pages.Text(kMargin, kWidth, 4, line);
            pages.Y() += 4.2;
        }
        // The waveforms of each failing test, two to a row.
        int column = 0;
        for (const JudgedTest& t : s.campaign.tests) {
            const auto record = s.records.value(t.id);
            if (t.verdict != Verdict::Fail || !record)
                continue;
            if (column == 0) {
                pages.Need(46);
                pages.Y() += 7;
            }
            const double w = (kWidth - 8) / 2;
            Waveforms(pages, t, *record, QRectF(kMargin + column * (w + 8), pages.Y(), w, 36));
            column = 1 - column;
            if (column == 0)
                pages.Y() += 38;
        }
    }
    return bytes;
}

bool WriteSummaryPdf(const QString& path, const SummaryPages& pages, QString* error) {
    // The whole-file writer refuses a target that is not a regular file.
    return WriteWholeFile(path, SummaryPdf(pages), error);
}
