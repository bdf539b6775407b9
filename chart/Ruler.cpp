#include "Ruler.h"

#include <QEvent>
#include <QPainter>
#include <cmath>
#include <cstdio>

namespace {

int CeilDiv100(int v) {
    return v >= 0 ? (v + 99) / 100 : -((-v) / 100);
}

} // namespace

QString RulerText(int level, int maxValues, bool inverted) {
    const int r = level % 12; // sign of level
    const int w = level / 12; // truncated
    if (r != 0) {
        // Single precision, as the strip always computed it.
        const float value = float(r - 1) / 10.0f * float(maxValues) / 100.0f;
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", double(value));
        return QString::fromLatin1(text);
    }
    static const char* const upright[] = {"A", "B", "C"};
    static const char* const upward[] = {"C", "B", "A"};
    if (!inverted)
        return w >= 0 && w <= 2 ? QString::fromLatin1(upright[w]) : QString();
    return w >= 1 && w <= 3 ? QString::fromLatin1(upward[w - 1]) : QString();
}

QColor RulerColor(int level, bool inverted) {
    const unsigned v = unsigned(level); // negative levels count as large
    const QColor yellow(255, 255, 0), green(0, 128, 0), red(255, 0, 0), black(0, 0, 0);
    if (!inverted)
        return v <= 11 ? yellow : v <= 23 ? green : v <= 35 ? red : black;
    return v <= 12 ? red : v <= 24 ? green : v <= 37 ? yellow : black;
}

std::vector<RulerLabel> RulerLabels(const RulerProps& p, int height) {
    std::vector<RulerLabel> labels;
    if (p.Partition == 0)
        return labels;
    const int n = CeilDiv100(p.Partition);
    const int u = CeilDiv100(p.IniAxis);
    const int e = u * 100 - p.IniAxis;
    const double span = height - p.BottomSpace;
    for (int k = 0; k <= n; ++k) {
        const int v = u + k;
        const double d = e + 100.0 * k;
        const double y = p.Inverted ? height - d * span / p.Partition + p.TopSpace - p.BottomSpace
                                    : d * span / p.Partition + p.TopSpace;
        const int top = int(std::nearbyint(y - 5));
        if (!(0 < top && top < height - p.BottomSpace))
            continue;
        const bool letter = v % 12 == 0;
        labels.push_back({v, RulerText(v, p.MaxValues, p.Inverted), RulerColor(v, p.Inverted),
                          letter ? 10 : 5, top, letter ? 13 : 9});
    }
    return labels;
}

TRuler::TRuler(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    SetColor(palette().color(QPalette::ToolTipBase));
}

void TRuler::SetProps(const RulerProps& props) {
    props_ = props;
    labels_ = QPixmap();
    update();
}

void TRuler::resizeEvent(QResizeEvent* event) {
    labels_ = QPixmap();
    QWidget::resizeEvent(event);
}

void TRuler::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        labels_ = QPixmap();
    QWidget::changeEvent(event);
}

void TRuler::SetColor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
}

void TRuler::paintEvent(QPaintEvent*) {
    if (labels_.isNull() && width() > 0 && height() > 0) {
        labels_ = QPixmap(size() * devicePixelRatioF());
        labels_.setDevicePixelRatio(devicePixelRatioF());
        labels_.fill(Qt::transparent);
        QPainter painter(&labels_);
        PaintLabels(painter);
    }
    QPainter(this).drawPixmap(0, 0, labels_);
}

void TRuler::PaintLabels(QPainter& painter) const {
    QFont font = this->font();
    for (const RulerLabel& label : RulerLabels(props_, height())) {
        if (label.text.isEmpty())
            continue;
        font.setPointSize(label.pointSize);
        painter.setFont(font);
        painter.setPen(label.color);
        // The label's y is its text's top edge.
        const QFontMetrics metrics(font);
        painter.drawText(label.x, label.y + metrics.ascent(), label.text);
    }
}
