#include "SummaryPlots.h"

#include "SummaryPlot.h"

#include <QPainter>

namespace {

// The plots are laid out in millimetres as on paper, scaled to the widget.
constexpr double kWidth = 190, kGap = 8, kPlotHeight = 48, kRowHeight = 60;

} // namespace

SummaryPlots::SummaryPlots(QWidget* parent) : QWidget(parent) {
    setMinimumSize(400, 200);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void SummaryPlots::SetPages(const SummaryPages* pages) {
    pages_ = pages;
    update();
}

void SummaryPlots::paintEvent(QPaintEvent*) {
    if (!pages_)
        return;
    QList<bool> directions;
    for (const bool up : {true, false})
        for (const JudgedTest& t : pages_->campaign.tests)
            if (t.up == up) {
                directions << up;
                break;
            }
    if (directions.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double height = kRowHeight * directions.size();
    const double scale = std::min(width() / (kWidth + 2 * kGap), this->height() / (height + 2));
    p.scale(scale, scale);
    // The font's points are scaled with the painter, as on paper.
    const double resolution = logicalDpiY();
    const double w = (kWidth - kGap) / 2;
    double y = 7;
    for (const bool up : directions) {
        QList<const JudgedTest*> tests;
        for (const JudgedTest& t : pages_->campaign.tests)
            if (t.up == up)
                tests << &t;
        QList<JudgedTest> baselines;
        for (const JudgedTest& b : pages_->baselines)
            if (b.up == up)
                baselines << b;
        DrawSummaryPlot(p, resolution, QRectF(kGap, y, w, kPlotHeight), tests, baselines,
                        SummaryPlotKind::Time, up);
        DrawSummaryPlot(p, resolution, QRectF(kGap + w + kGap, y, w, kPlotHeight), tests, baselines,
                        SummaryPlotKind::Resistance, up);
        y += kRowHeight;
    }
}
