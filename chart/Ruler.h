#pragma once

#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <vector>

// The strip over the chart's left margin that labels every whole unit of the
// vertical axis: a phase letter at each band edge, the value in ohm between.
struct RulerProps {
    int Orientation = 0;  // kept, no effect
    int Partition = 3000; // hundredths of an axis unit; 0 draws nothing
    int IniAxis = 0;
    int MaxValues = 1000; // what the top of a band stands for, 0.01 ohm
    bool Inverted = false;
    int TopSpace = 8;
    int BottomSpace = 8;
};

struct RulerLabel {
    int level; // the axis unit
    QString text;
    QColor color;
    int x, y; // top-left of the text
    int pointSize;
};

// The labels a strip of this height shows, in order of level.
std::vector<RulerLabel> RulerLabels(const RulerProps& props, int height);

// Text and colour of one unit of the axis.
QString RulerText(int level, int maxValues, bool inverted);
QColor RulerColor(int level, bool inverted);

class TRuler : public QWidget {
    Q_OBJECT
public:
    explicit TRuler(QWidget* parent = nullptr);

    const RulerProps& Props() const { return props_; }
    void SetProps(const RulerProps& props);
    void SetColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    RulerProps props_;
    void PaintLabels(QPainter& painter) const;

    QPixmap labels_; // drawn once per change, not on every repaint of the chart
};
