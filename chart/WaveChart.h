#pragma once

#include "Analysis.h"
#include "Ruler.h"
#include "TestRecord.h"

#include <qcustomplot.h>

// The waveform chart: the three phases in their bands of one 0..36 scale
// against time in ms, four dotted markers on each drawn phase, rectangle
// zoom with the left button (dragged leftwards it undoes the zoom), panning
// with the right button, no wheel.
class TWaveChart : public QCustomPlot {
    Q_OBJECT
public:
    static constexpr double kTopMarginPercent = 3;
    static constexpr double kLeftMarginPercent = 5;
    static constexpr double kRightMarginPercent = 3;
    static constexpr int kTimeAxisRoom = 32; // under the plot
    static constexpr double kTimeRange = 270;
    static constexpr double kLevelRange = 36;

    explicit TWaveChart(QWidget* parent = nullptr);

    // 0..2: SeriesA, SeriesB, SeriesC; 3..14: the markers 1..12.
    QCPGraph* Series(int index) const { return series_[index]; }
    QCPGraph* MarkerSeries(int k) const { return series_[2 + k]; }
    TRuler* Ruler() const { return ruler_; }

    bool Inverted() const { return inverted_; }
    // The vertical axis runs downward while not inverted.
    void SetInverted(bool inverted);

    void PlotWaveform(const TestRecord& record, int phase);
    void PlaceMarker(int k, int index);
    // Unzoomed, all series refilled, markers at their start positions.
    void RedrawChart(const TestRecord& record);
    void ClearSeries();

    // round(X * 10) of a marker's smallest X; 0 when empty.
    int MarkerIndex(int k) const;
    TransitionMarkers Markers() const;

    void UndoZoom();
    bool IsZoomed() const;
    int TopMarginPixels() const;
    // The time (ms) at a pixel column of the chart.
    double TimeAtPixel(double x) const;

    // Places and rescales the scale strip from the chart's geometry and range.
    void RelayRuler(qint32 maxSample);

    // A baseline test's waveforms under the shown ones, in lighter colours
    // of the same phases, each on the shown phase's scale, moved by `shift`
    // samples; without a baseline they are taken away.
    void DrawBaseline(const TestRecord& shown, const TestRecord* baseline, int shift);
    bool HasBaseline() const {
        return !baseline_[0]->data()->isEmpty() || !baseline_[1]->data()->isEmpty() ||
               !baseline_[2]->data()->isEmpty();
    }
    void ShowBaseline(bool shown);
    QCPGraph* BaselineSeries(int phase) const { return baseline_[phase]; }

    QColor BackgroundColor() const { return background_; }
    void SetBackgroundColor(const QColor& color);

signals:
    void ChartMouseDown(Qt::MouseButton button);
    void ChartMouseUp(Qt::MouseButton button);
    void ChartMouseMove();
    void Zoomed();
    void Unzoomed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void UpdateMargins();
    // The pixels a marker's line covers, for a repaint of just those.
    QRect MarkerColumn(int k) const;
    void ZoomRectDone(const QRect& rect, QMouseEvent* event);

    std::array<QCPGraph*, 15> series_{};
    std::array<QCPGraph*, 3> baseline_{};

    TRuler* ruler_ = nullptr;
    bool inverted_ = false;
    QColor background_{192, 192, 192};
    QPoint zoomStart_;
    bool panning_ = false;
    QPointF panLast_;
};
