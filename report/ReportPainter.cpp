#include "ReportPainter.h"

#include "ChartStyle.h"
#include "FileTarget.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <qcustomplot.h>

namespace {

// The report chart is laid out in tenths of a millimetre, with pixel-sized
// fonts, so that its picture scales to any device unchanged.
constexpr double kChartUnitsPerMm = 10;
constexpr double kPointMm = 25.4 / 72;

QFont ChartFont(double points) {
    QFont font(ArialFamily());
    font.setPixelSize(int(std::lround(points * kPointMm * kChartUnitsPerMm)));
    return font;
}

// The chart: the 15 series over the chart's background, no legend, time
// axis with its automatic range, vertical axis 0..36; drawn as vectors in
// the painter's current coordinates, in tenths of a millimetre.
void DrawChart(QCPPainter& painter, const ReportChartData& data) {
    const int width = int(std::lround(data.mm.width() * kChartUnitsPerMm));
    const int height = int(std::lround(data.mm.height() * kChartUnitsPerMm));
    QCustomPlot plot;
    plot.resize(width, height);
    plot.setBackground(QBrush(data.background));
    plot.axisRect()->setBackground(Qt::NoBrush);
    plot.axisRect()->setAutoMargins(QCP::msNone);
    // Left: 10 % of the width, then the strip of the vertical axis that the
    // ruler rectangle covers, the axis line just beside it; right 1 %; the
    // time axis and its title below.
    plot.axisRect()->setMargins(QMargins(174, 0, 13, 108));
    plot.legend->setVisible(false);
    double first = 0, last = 0;
    bool any = false;
    for (const ReportSeries& s : data.series) {
        QCPGraph* graph = plot.addGraph();
        graph->setName(s.name);
        graph->setPen(QPen(s.color, 2, s.style));
        graph->setLineStyle(QCPGraph::lsLine);
        graph->setAdaptiveSampling(false); // every point on paper
        QVector<double> keys, values;
        for (const QPointF& p : s.points) {
            keys << p.x();
            values << p.y();
            first = any ? std::min(first, p.x()) : p.x();
            last = any ? std::max(last, p.x()) : p.x();
            any = true;
        }
        graph->setData(keys, values, true);
    }
    if (!any || first == last) {
        first = any ? first - 1 : 0;
        last = any ? last + 1 : 268.8;
    }
    QCPAxis* x = plot.xAxis;
    x->setRange(first, last);
    x->setLabel(QCoreApplication::translate("ReportPainter", "时间(单位ms)"));
    x->setLabelFont(ChartFont(8));
    x->setTickLabelFont(ChartFont(8));
    x->setBasePen(QPen(Qt::black, 2));
    x->setTickPen(QPen(Qt::black, 2));
    x->setSubTickPen(QPen(Qt::black, 1));
    x->setTickLengthIn(0);
    x->setTickLengthOut(12);
    x->setSubTickLengthIn(0);
    x->setSubTickLengthOut(6);
    x->setTickLabelPadding(6);
    x->setLabelPadding(4);
    x->grid()->setVisible(false);
    QCPAxis* y = plot.yAxis;
    y->setRange(0, 36);
    y->setRangeReversed(data.reversed);
    y->setTicks(false);
    y->setTickLabels(false);
    y->setBasePen(QPen(Qt::black, 2));
    y->grid()->setVisible(false);
    plot.xAxis2->setVisible(false);
    plot.yAxis2->setVisible(false);

    painter.setMode(QCPPainter::pmNonCosmetic);
    plot.toPainter(&painter, width, height);
}

QString Family(const QString& asked) {
    return asked == u"Arial" ? ArialFamily() : SongtiFamily();
}

} // namespace

void PaintReport(QCPPainter& painter, const ReportPage& page) {
    const QPaintDevice* device = painter.device();
    const double sx = device->logicalDpiX() / 25.4;
    const double sy = device->logicalDpiY() / 25.4;
    const auto rect = [&](const QRectF& mm) {
        return QRectF(mm.x() * sx, mm.y() * sy, mm.width() * sx, mm.height() * sy);
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    painter.save();
    painter.translate(page.chart.mm.x() * sx, page.chart.mm.y() * sy);
    painter.scale(sx / kChartUnitsPerMm, sy / kChartUnitsPerMm);
    DrawChart(painter, page.chart);
    painter.restore();

    for (const PageRect& r : page.rects)
        painter.fillRect(rect(r.mm), r.fill);

    painter.setPen(QPen(Qt::black, 0.2 * sy));
    painter.drawLine(QPointF(page.footerLine[0].x() * sx, page.footerLine[0].y() * sy),
                     QPointF(page.footerLine[1].x() * sx, page.footerLine[1].y() * sy));

    for (const PageText& t : page.texts) {
        if (t.text.isEmpty())
            continue;
        QFont font(Family(t.family));
        font.setPointSizeF(t.points);
        font.setBold(t.bold);
        const QFontMetricsF metrics(font, const_cast<QPaintDevice*>(device));
        const double w = metrics.horizontalAdvance(t.text);
        const double h = metrics.height();
        double x = t.at.x() * sx;
        if (t.align == Qt::AlignHCenter)
            x = (t.at.x() + t.centreWidth / 2) * sx - w / 2;
        else if (t.align == Qt::AlignRight)
            x -= w;
        const QRectF box(x, t.at.y() * sy, w, h);
        if (t.opaque)
            painter.fillRect(box, Qt::white);
        painter.setFont(font);
        painter.setPen(t.color);
        // On the label font's own baseline, so that a caption whose "："
        // comes from a fallback font lines up with the value beside it.
        painter.drawText(QPointF(x, t.at.y() * sy + metrics.ascent()), t.text);
    }
    painter.restore();
}

void PrepareReportPrinter(QPrinter& printer, const ReportPage& page) {
    // The page places everything inside its margins itself; the layout keeps
    // them for the printer, the painter still starts at the paper's corner.
    const double m = kReportMarginMm;
    QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(m, m, m, m),
                       QPageLayout::Millimeter);
    layout.setMode(QPageLayout::FullPageMode);
    printer.setPageLayout(layout);
    printer.setFullPage(true);
    printer.setDocName(page.title);
}

QByteArray ReportPdf(const ReportPage& page) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(), QPageLayout::Millimeter));
        writer.setTitle(page.title);
        writer.setCreator(QStringLiteral("oltc"));
        writer.setResolution(1200);
        QCPPainter painter(&writer);
        PaintReport(painter, page);
    }
    return bytes;
}

bool WriteReportPdf(const QString& path, const ReportPage& page, QString* error) {
    if (const QString refusal = TargetRefusal(path); !refusal.isEmpty()) {
        if (error)
            *error = refusal;
        return false;
    }
    return WriteWholeFile(path, ReportPdf(page), error);
}
