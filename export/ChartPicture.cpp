#include "ChartPicture.h"

#include "ChartMath.h"
#include "FileTarget.h"
#include "WaveChart.h"
#include "WindowLayout.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QLabel>
#include <QStatusBar>

QByteArray PngOf(const QImage& picture) {
    QImage image = picture.convertToFormat(QImage::Format_RGB32);
    image.setDotsPerMeterX(kPictureDotsPerMeter);
    image.setDotsPerMeterY(kPictureDotsPerMeter);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // A light compression: a chart is mostly flat colour, so the file stays
    // small while the export stays fast.
    if (!image.save(&buffer, "PNG", 80))
        return {};
    return bytes;
}

QImage ChartPictureOf(QWidget& chart) {
    // The picture is of the test alone: a baseline drawn to compare stays out.
    auto* wave = qobject_cast<TWaveChart*>(&chart);
    const bool hide = wave && wave->HasBaseline();
    if (hide)
        wave->ShowBaseline(false);
    QImage picture = chart.grab().toImage();
    if (hide)
        wave->ShowBaseline(true);
    return picture;
}

bool SaveChartPicture(const QImage& picture, const QString& path, QString* error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString why = QStringLiteral("the picture cannot be encoded");
    if (!picture.save(&buffer, "BMP") || !WriteWholeFile(path, bytes, &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    return true;
}

QSize ChartSizeAtOpening() {
    // The window's status bar takes its height from its text line.
    QStatusBar bar;
    bar.addWidget(new QLabel(QCoreApplication::translate("ChartPicture", "设备已断开！")));
    const int central = WindowLayout::kWindowHeight - bar.sizeHint().height();
    return WindowLayout::ChartSize({WindowLayout::kWindowWidth, central});
}

QImage DrawChartPicture(const ShownTest& shown) {
    TWaveChart chart;
    chart.setAttribute(Qt::WA_DontShowOnScreen);
    chart.resize(ChartSizeAtOpening());
    chart.SetBackgroundColor(QColor(shown.color.r, shown.color.g, shown.color.b));
    chart.SetInverted(shown.inverted);
    if (shown.record.HasData) {
        chart.RedrawChart(shown.record);
        for (int p = 0; p < 3; ++p)
            if (!chart.Series(p)->data()->isEmpty())
                for (int j = 1; j <= 4; ++j)
                    chart.PlaceMarker(MarkerNumber(kPhaseA + p, j), shown.markers.phase[p][j - 1]);
    }
    chart.RelayRuler(MaxSample(shown.record));
    chart.replot(QCustomPlot::rpImmediateRefresh);
    return chart.grab().toImage();
}
