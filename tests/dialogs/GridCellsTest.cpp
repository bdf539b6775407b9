#include "GridCells.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

struct Drawn {
    QImage image;
    QPalette palette;
};

// One cell drawn at (10, 10) into a canvas painted magenta, so that
// whatever the cell leaves alone shows.
Drawn DrawCell(const QRect& cell, const QString& text, bool fixed, bool selected) {
    Drawn out{QImage(100, 60, QImage::Format_RGB32), QApplication::palette()};
    out.palette.setColor(QPalette::Button, QColor(200, 200, 200));
    out.palette.setColor(QPalette::Base, QColor(255, 255, 250));
    out.palette.setColor(QPalette::Highlight, QColor(0, 0, 160));
    out.palette.setColor(QPalette::Mid, QColor(128, 128, 128));
    out.image.fill(Qt::magenta);
    QPainter painter(&out.image);
    DrawGridCell(painter, cell, text, fixed, selected, out.palette, QApplication::font());
    return out;
}

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// Leftmost column holding a pixel of `colour` inside the rows of `area`.
int FirstColumnOf(const QImage& image, const QRect& area, const QColor& colour) {
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (At(image, x, y) == colour)
                return x;
    return -1;
}

TEST(GridCells, FixedCellHasARaisedEdgeOverItsGridLine) {
    const QRect cell(10, 10, 60, 30); // right() 69, bottom() 39 carry the grid line
    const Drawn d = DrawCell(cell, {}, true, false);
    const struct {
        QPoint at;
        QColor colour;
    } cases[] = {
        {{10, 25}, Qt::white},
        {{40, 10}, Qt::white},
        {{69, 25}, Qt::black},
        {{40, 39}, Qt::black},
        {{40, 25}, QColor(200, 200, 200)},
        {{70, 25}, Qt::magenta},
        {{40, 40}, Qt::magenta},
        {{9, 25}, Qt::magenta},
    };
    for (const auto& c : cases)
        EXPECT_EQ(At(d.image, c.at.x(), c.at.y()), c.colour) << c.at.x() << "," << c.at.y();
}

TEST(GridCells, DataCellsFillTheirColourAndLeaveTheGridLine) {
    const QRect cell(10, 10, 60, 30);
    for (const bool selected : {false, true}) {
        const Drawn d = DrawCell(cell, "88.88", false, selected);
        const QColor fill = selected ? QColor(0, 0, 160) : QColor(255, 255, 250);
        EXPECT_EQ(At(d.image, 11, 11), fill);
        EXPECT_EQ(At(d.image, 68, 38), fill);
        EXPECT_EQ(At(d.image, 69, 20), QColor(128, 128, 128));
        EXPECT_EQ(At(d.image, 20, 39), QColor(128, 128, 128));
        // Text: white on the highlight, black otherwise.
        const QColor ink = selected ? Qt::white : Qt::black;
        EXPECT_GE(FirstColumnOf(d.image, cell.adjusted(0, 0, -1, -1), ink), 0) << selected;
    }
}

TEST(GridCells, TextIsCentredAndFixedTextSitsTwoPixelsLeft) {
    const QFontMetrics metrics(QApplication::font());
    const QString text = "8888";
    const QRect cell(10, 10, 81, 31);
    const Drawn data = DrawCell(cell, text, false, false);
    const Drawn fixed = DrawCell(cell, text, true, false);
    const int dataX = FirstColumnOf(data.image, cell.adjusted(1, 1, -2, -2), Qt::black);
    const int fixedX = FirstColumnOf(fixed.image, cell.adjusted(1, 1, -2, -2), Qt::black);
    ASSERT_GE(dataX, 0);
    ASSERT_GE(fixedX, 0);
    // The data cell centres in 80 px, the fixed one in 81 px less 2: the
    // odd free pixel of the fixed cell is dropped toward zero.
    const int ink = dataX - (cell.left() + (80 - metrics.horizontalAdvance(text)) / 2);
    EXPECT_EQ(fixedX, cell.left() + (81 - metrics.horizontalAdvance(text)) / 2 - 2 + ink);
}

} // namespace
