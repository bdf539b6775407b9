#include "WaveChart.h"

#include "ChartMath.h"
#include "ChartStyle.h"

#include <QPainter>
#include <cmath>

namespace {
constexpr int kMinZoomPixels = 4; // a smaller rectangle is a click, not a zoom
} // namespace

TWaveChart::TWaveChart(QWidget* parent) : QCustomPlot(parent) {
    setObjectName(QStringLiteral("ChartA"));
    setFocusPolicy(Qt::ClickFocus);
    setNoAntialiasingOnDrag(true);
    for (int i = 0; i < 15; ++i) {
        QCPGraph* graph = addGraph();
        // The marker series hold the positions; paintEvent draws them, so that
        // moving one repaints two thin columns instead of the whole chart.
        graph->setVisible(i < 3);
        graph->setLineStyle(QCPGraph::lsLine);
        graph->setScatterStyle(QCPScatterStyle::ssNone);
        graph->setAdaptiveSampling(true);
        graph->setAntialiased(false); // crisp one-pixel traces, exactly in their colours
        graph->setPen(i < 3 ? QPen(PhaseColor(kPhaseA + i)) : QPen(MarkerColor(), 1, Qt::DotLine));
        graph->setName(SeriesName(i));
        series_[i] = graph;
    }

    // The baseline's traces lie on a layer of their own under the shown ones.
    addLayer(QStringLiteral("baseline"), layer(QStringLiteral("main")), limBelow);
    for (int p = 0; p < 3; ++p) {
        QCPGraph* graph = addGraph();
        graph->setLayer(QStringLiteral("baseline"));
        graph->setLineStyle(QCPGraph::lsLine);
        graph->setAdaptiveSampling(true);
        graph->setAntialiased(false);
        // Halfway to white: the same phase, plainly not the shown test.
        const QColor c = PhaseColor(kPhaseA + p);
        graph->setPen(QPen(QColor((c.red() + 255) / 2, (c.green() + 255) / 2, (c.blue() + 255) / 2),
                           1, Qt::DashLine));
        baseline_[p] = graph;
    }

    axisRect()->setAutoMargins(QCP::msNone);
    axisRect()->setBackground(Qt::NoBrush);
    xAxis->setRange(0, kTimeRange);
    xAxis->setLabel(QStringLiteral("(mS)"));
    xAxis->setLabelPadding(0);
    xAxis->setTickLabelPadding(2);
    yAxis->setRange(0, kLevelRange);
    yAxis->setTickLabels(false);
    yAxis->setRangeReversed(true);
    xAxis->grid()->setVisible(false);
    yAxis->grid()->setVisible(false);
    SetBackgroundColor(background_);

    setSelectionRectMode(QCP::srmCustom);
    connect(selectionRect(), &QCPSelectionRect::accepted, this, &TWaveChart::ZoomRectDone);

    ruler_ = new TRuler(this);
    ruler_->setObjectName(QStringLiteral("Ruler1"));
    ruler_->setGeometry(2, 0, 33, 585);
    ruler_->SetProps({0, 3000, 0, 10, false, 8, 10});
    ruler_->SetColor(background_);
    // Mouse events over the strip belong to the chart.
    ruler_->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TWaveChart::SetInverted(bool inverted) {
    inverted_ = inverted;
    yAxis->setRangeReversed(!inverted);
}

void TWaveChart::PlotWaveform(const TestRecord& record, int phase) {
    const auto [lower, upper] = PhaseBand(phase, inverted_);
    const std::vector<double> levels = BandLevels(record, phase, lower, upper);
    QVector<QCPGraphData> points(kSampleCount);
    for (int i = 1; i <= kSampleCount; ++i)
        points[i - 1] = {i / 10.0, levels[size_t(i - 1)]};
    QCPGraph* graph = series_[phase == kPhaseA ? 0 : phase == kPhaseB ? 1 : 2];
    graph->data()->add(points, true);
    replot(rpQueuedReplot);
}

void TWaveChart::PlaceMarker(int k, int index) {
    if (k < 1 || k > 12)
        return;
    const int phase = (k - 1) / 4 + 1;
    const auto [lower, upper] = PhaseBand(phase, inverted_);
    QCPGraph* marker = MarkerSeries(k);
    const QRect before = MarkerColumn(k);
    marker->data()->clear();
    const double x = index / 10.0;
    marker->addData(x, lower);
    marker->addData(x, upper);
    update(before);
    update(MarkerColumn(k));
}

QRect TWaveChart::MarkerColumn(int k) const {
    const auto data = MarkerSeries(k)->data();
    if (data->isEmpty())
        return {};
    const int x = int(std::lround(xAxis->coordToPixel(data->constBegin()->key)));
    const QRect plot = axisRect()->rect();
    return QRect(x - 1, plot.top(), 3, plot.height());
}

void TWaveChart::paintEvent(QPaintEvent* event) {
    QCustomPlot::paintEvent(event);
    QPainter painter(this);
    painter.setClipRect(axisRect()->rect());
    painter.setPen(QPen(MarkerColor(), 1, Qt::DotLine));
    for (int k = 1; k <= 12; ++k) {
        const auto data = MarkerSeries(k)->data();
        if (data->size() < 2)
            continue;
        const auto first = data->constBegin();
        const auto last = data->constEnd() - 1;
        const double x = double(std::lround(xAxis->coordToPixel(first->key)));
        painter.drawLine(QPointF(x, yAxis->coordToPixel(first->value)),
                         QPointF(x, yAxis->coordToPixel(last->value)));
    }
}

void TWaveChart::RedrawChart(const TestRecord& record) {
    UndoZoom();
    ClearSeries();
    const auto drawn = DrawnPhases(record.params.iSwitchType, record.params.iTestMode);
    for (int p = 0; p < 3; ++p) {
        if (!drawn[p])
            continue;
        PlotWaveform(record, kPhaseA + p);
        for (int j = 1; j <= 4; ++j)
            PlaceMarker(MarkerNumber(kPhaseA + p, j), kStartMarkers[j - 1]);
    }
    RelayRuler(MaxSample(record));
    replot(rpQueuedReplot);
}

void TWaveChart::DrawBaseline(const TestRecord& shown, const TestRecord* baseline, int shift) {
    for (int p = 0; p < 3; ++p) {
        baseline_[p]->data()->clear();
        if (!baseline || series_[p]->data()->isEmpty())
            continue;
        const auto [lower, upper] = PhaseBand(kPhaseA + p, inverted_);
        const std::vector<double> levels =
            LevelsOnScale(shown, *baseline, kPhaseA + p, lower, upper);
        QVector<QCPGraphData> points;
        points.reserve(kSampleCount);
        for (int i = 1; i <= kSampleCount; ++i)
            if (const int at = i + shift; at >= 1 && at <= kSampleCount)
                points.append({at / 10.0, levels[size_t(i - 1)]});
        baseline_[p]->data()->add(points, true);
    }
    replot(rpQueuedReplot);
}

void TWaveChart::ShowBaseline(bool shown) {
    for (QCPGraph* graph : baseline_)
        graph->setVisible(shown);
    replot(rpImmediateRefresh);
}

void TWaveChart::ClearSeries() {
    for (QCPGraph* graph : series_)
        graph->data()->clear();
    for (QCPGraph* graph : baseline_)
        graph->data()->clear();
    replot(rpQueuedReplot);
}

int TWaveChart::MarkerIndex(int k) const {
    const auto data = MarkerSeries(k)->data();
    if (data->isEmpty())
        return 0;
    double smallest = data->constBegin()->key;
    for (auto it = data->constBegin(); it != data->constEnd(); ++it)
        smallest = std::min(smallest, it->key);
    return IndexAtTime(smallest);
}

TransitionMarkers TWaveChart::Markers() const {
    TransitionMarkers markers;
    for (int p = 0; p < 3; ++p)
        for (int j = 0; j < 4; ++j)
            markers.phase[p][j] = MarkerIndex(MarkerNumber(p + 1, j + 1));
    return markers;
}

void TWaveChart::UndoZoom() {
    const bool was = IsZoomed();
    xAxis->setRange(0, kTimeRange);
    yAxis->setRange(0, kLevelRange);
    replot(rpQueuedReplot);
    if (was)
        emit Unzoomed();
}

bool TWaveChart::IsZoomed() const {
    return xAxis->range() != QCPRange(0, kTimeRange) || yAxis->range() != QCPRange(0, kLevelRange);
}

int TWaveChart::TopMarginPixels() const {
    return int(std::nearbyint(kTopMarginPercent * height() / 100));
}

double TWaveChart::TimeAtPixel(double x) const {
    return xAxis->pixelToCoord(x);
}

void TWaveChart::RelayRuler(qint32 maxSample) {
    const int t = TopMarginPixels();
    RulerProps props = ruler_->Props();
    // The strip is placed from the chart's own top within its parent, as the
    // layout always has; the chart sits at the top of its panel.
    const int top = y() + t - 2 - props.TopSpace;
    const int height = std::max(0, this->height() - t - kTimeAxisRoom + props.BottomSpace);
    const int width = int(std::ceil(this->width() * kLeftMarginPercent / 100));
    ruler_->setGeometry(ruler_->x(), top, width, height);
    props.IniAxis = int(std::nearbyint(yAxis->range().lower * 100));
    props.Partition = int(std::nearbyint((yAxis->range().upper - yAxis->range().lower) * 100));
    props.MaxValues = maxSample;
    props.Inverted = inverted_;
    ruler_->SetProps(props);
    ruler_->update();
}

void TWaveChart::SetBackgroundColor(const QColor& color) {
    background_ = color;
    setBackground(QBrush(color));
    if (ruler_)
        ruler_->SetColor(color);
    replot(rpQueuedReplot);
}

void TWaveChart::UpdateMargins() {
    const int top = TopMarginPixels();
    const int left = int(std::ceil(width() * kLeftMarginPercent / 100));
    const int right = int(std::nearbyint(width() * kRightMarginPercent / 100));
    axisRect()->setMargins(QMargins(left, top, right, kTimeAxisRoom));
}

void TWaveChart::resizeEvent(QResizeEvent* event) {
    UpdateMargins();
    QCustomPlot::resizeEvent(event);
}

void TWaveChart::wheelEvent(QWheelEvent* event) {
    event->accept(); // dropped: the wheel neither zooms nor scrolls the chart
}

void TWaveChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // The rectangle would take every press; panning needs it off.
        setSelectionRectMode(QCP::srmNone);
        panning_ = true;
        panLast_ = event->position();
    } else if (event->button() == Qt::LeftButton) {
        zoomStart_ = event->position().toPoint();
    }
    QCustomPlot::mousePressEvent(event);
    emit ChartMouseDown(event->button());
}

void TWaveChart::mouseMoveEvent(QMouseEvent* event) {
    if (panning_ && (event->buttons() & Qt::RightButton)) {
        const QPointF now = event->position();
        const double dx = xAxis->pixelToCoord(panLast_.x()) - xAxis->pixelToCoord(now.x());
        const double dy = yAxis->pixelToCoord(panLast_.y()) - yAxis->pixelToCoord(now.y());
        xAxis->moveRange(dx);
        yAxis->moveRange(dy);
        panLast_ = now;
        replot(rpQueuedReplot);
    }
    QCustomPlot::mouseMoveEvent(event);
    emit ChartMouseMove();
}

void TWaveChart::mouseReleaseEvent(QMouseEvent* event) {
    QCustomPlot::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton) {
        panning_ = false;
        setSelectionRectMode(QCP::srmCustom);
    }
    emit ChartMouseUp(event->button());
}

void TWaveChart::ZoomRectDone(const QRect&, QMouseEvent* event) {
    const QPoint end = event->position().toPoint();
    if (end.x() < zoomStart_.x()) {
        UndoZoom();
        return;
    }
    const QRect rect = QRect(zoomStart_, end).normalized();
    if (rect.width() < kMinZoomPixels || rect.height() < kMinZoomPixels)
        return;
    xAxis->setRange(xAxis->pixelToCoord(rect.left()), xAxis->pixelToCoord(rect.right()));
    const double y1 = yAxis->pixelToCoord(rect.top());
    const double y2 = yAxis->pixelToCoord(rect.bottom());
    yAxis->setRange(std::min(y1, y2), std::max(y1, y2));
    replot(rpQueuedReplot);
    emit Zoomed();
}
