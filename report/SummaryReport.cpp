#include "SummaryReport.h"

#include "SummaryPlot.h"

#include "ChartStyle.h"
#include "FileTarget.h"
#include "Helpers.h"

#include <QBuffer>
#include <QCoreApplication>
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

QString VerdictText(Verdict v) {
    switch (v) {
    case Verdict::Pass:
        return QCoreApplication::translate("SummaryReport", "合格");
    case Verdict::Fail:
        return QCoreApplication::translate("SummaryReport", "不合格");
    case Verdict::Unknown:
        return QCoreApplication::translate("SummaryReport", "无法判断");
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
    double Resolution() const { return writer_.resolution(); }
    double& Y() { return y_; }
    // Room for `height` more millimetres, on a new page when not on this one.
    void Need(double height) {
        if (y_ + height <= kBottom)
            return;
        writer_.newPage();
        y_ = kMargin;
    }
    void Font(double points, bool bold = false) {
        SetPlotFont(painter_, writer_.resolution(), points, bold);
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
    pages.Text(kMargin, kWidth, 9,
               QCoreApplication::translate("SummaryReport", "有载分接开关过渡过程测试汇总"),
               Qt::AlignHCenter);
    pages.Y() += 11;
    pages.Font(9);
    const SummaryHeading& h = s.heading;
    const QString lines[] = {
        QCoreApplication::translate("SummaryReport", "测试地点：%1").arg(h.place),
        QCoreApplication::translate("SummaryReport", "被试设备：%1").arg(h.device),
        QCoreApplication::translate("SummaryReport", "测试时间：%1 至 %2").arg(h.from, h.to),
        QCoreApplication::translate("SummaryReport", "测试人员：%1").arg(h.user),
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
               QCoreApplication::translate("SummaryReport",
                                           "结论：%1（共 %2 次测试，不合格 %3 次，无法判断 %4 次）")
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
        pages.Text(kMargin, stepWidth, row, QCoreApplication::translate("SummaryReport", "分接"),
                   Qt::AlignHCenter);
        for (int ph = 0; ph < 3; ++ph)
            for (int i = 0; i < 6; ++i)
                pages.Text(kMargin + stepWidth + (ph * 6 + i) * cell, cell, row,
                           QStringLiteral("%1 %2").arg(QLatin1String(kPhaseNames[ph]),
                                                       QLatin1String(kValueNames[i])),
                           Qt::AlignHCenter);
        pages.Text(kMargin + kWidth - verdictWidth, verdictWidth, row,
                   QCoreApplication::translate("SummaryReport", "结论"), Qt::AlignHCenter);
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
                const QString text = !v.found
                                         ? QStringLiteral("—")
                                         : QString::number(PhaseValue(v, i), 'f', i < 4 ? 1 : 2);
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

void Waveforms(Pages& pages, const JudgedTest& t, const TestRecord& record, QRectF box) {
    QPainter& p = pages.P();
    p.save();
    DrawPlotFrame(p, pages.Resolution(), box,
                  QStringLiteral("%1  %2").arg(StepText(t.step), t.time));
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
        p.setPen(QPen(PhaseColor(ph + 1).darker(160), 0.2, kPhaseLineStyles[ph]));
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
        writer.setTitle(
            QCoreApplication::translate("SummaryReport", "有载分接开关过渡过程测试汇总"));
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
            Table(pages, tests,
                  QCoreApplication::translate("SummaryReport", "分接方向 %1").arg(direction));
            QList<JudgedTest> baselines;
            for (const JudgedTest& b : s.baselines)
                if (b.up == up)
                    baselines << b;
            pages.Need(58);
            pages.Y() += 5;
            const double w = (kWidth - 8) / 2;
            DrawSummaryPlot(pages.P(), pages.Resolution(), QRectF(kMargin, pages.Y(), w, 48), tests,
                            baselines, SummaryPlotKind::Time, up);
            DrawSummaryPlot(pages.P(), pages.Resolution(),
                            QRectF(kMargin + w + 8, pages.Y(), w, 48), tests, baselines,
                            SummaryPlotKind::Resistance, up);
            pages.Y() += 54;
        }
        // The findings in words.
        pages.Need(14);
        pages.Font(10, true);
        pages.Text(kMargin, kWidth, 6, QCoreApplication::translate("SummaryReport", "判断依据"));
        pages.Y() += 7;
        pages.Font(7.5);
        QStringList lines = s.campaign.notes;
        for (const JudgedTest& t : s.campaign.tests)
            for (const Finding& f : t.findings)
                lines << QStringLiteral("%1  %2").arg(StepText(t.step), f.text);
        if (lines.isEmpty())
            lines << QCoreApplication::translate("SummaryReport", "所有测试均在允许范围之内。");
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

SummaryPages JudgeSummary(const SummaryInputs& in) {
    SummaryPages pages;
    pages.campaign = JudgeCampaign(in.tests, in.profile, in.baselines);
    pages.heading = HeadingOf(pages.campaign, in.device);
    for (const TestToJudge& b : in.baselines)
        pages.baselines << JudgeTest(b, in.profile);
    for (const TestToJudge& t : in.tests)
        pages.records.insert(t.id, t.record);
    return pages;
}

bool WriteSummaryPdf(const QString& path, const SummaryPages& pages, QString* error) {
    // The whole-file writer refuses a target that is not a regular file.
    return WriteWholeFile(path, SummaryPdf(pages), error);
}
