#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVector>
#include <array>
#include <vector>

// One report page as data, in millimetres from the paper's top-left corner;
// painting it is the only thing left to do.
struct PageText {
    QString name; // the label's name, for tests and tools
    QString text;
    QString family; // "宋体" or "Arial", as asked for
    double points = 8;
    bool bold = false;
    QColor color = Qt::black;
    bool opaque = true; // white background, else transparent
    // Left-aligned texts stand at `at`; centred ones are centred across
    // [at.x, at.x + centreWidth].
    QPointF at;
    double centreWidth = 0;
    Qt::AlignmentFlag align = Qt::AlignLeft; // Qt::AlignLeft, Qt::AlignHCenter or Qt::AlignRight
};

struct PageRect {
    QString name;
    QRectF mm;
    QColor fill;
};

struct ReportSeries {
    QString name;
    QColor color;
    Qt::PenStyle style = Qt::SolidLine;
    QVector<QPointF> points; // (time in ms, level on the 0..36 scale)
};

struct ReportChartData {
    QRectF mm; // the chart element, axes and titles included
    QColor background;
    bool reversed = true; // the vertical axis runs downward
    std::array<ReportSeries, 15> series;
};

// The report's margins, on all four sides of the A4 page.
inline constexpr double kReportMarginMm = 10;

struct ReportPage {
    QString title; // the print job's name and the preview's caption
    QRectF paperMm{0, 0, 210, 297};
    ReportChartData chart;
    std::vector<PageRect> rects;       // painted over the chart, in order
    std::vector<PageText> texts;       // painted last, in order
    std::array<QPointF, 2> footerLine; // the thin line on the footer's top edge

    const PageText* Text(const QString& name) const;
};
