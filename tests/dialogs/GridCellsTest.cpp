#include "GridCells.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

TEST(GridCells, FixedEdgesDataFillsAndGridLine) {
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(200, 200, 200));
    palette.setColor(QPalette::Base, QColor(255, 255, 250));
    palette.setColor(QPalette::Highlight, QColor(0, 0, 160));
    palette.setColor(QPalette::Mid, QColor(128, 128, 128));
    const QColor outside = Qt::magenta, face(200, 200, 200), grid(128, 128, 128);
    // The cell spans 10..69 x 10..39; column 69 and row 39 are its grid line.
    struct Case {
        bool fixed, selected;
        std::vector<std::pair<QPoint, QColor>> pixels;
    };
    const Case cases[] = {
        {true,
         false,
         {{{10, 25}, Qt::white},
          {{40, 10}, Qt::white},
          {{69, 25}, Qt::black},
          {{40, 39}, Qt::black},
          {{12, 25}, face},
          {{70, 25}, outside},
          {{40, 40}, outside}}},
        {false,
         false,
         {{{11, 11}, QColor(255, 255, 250)},
          {{69, 20}, grid},
          {{20, 39}, grid},
          {{70, 20}, outside}}},
        {false, true, {{{11, 11}, QColor(0, 0, 160)}, {{68, 38}, QColor(0, 0, 160)}}},
    };
    for (const Case& c : cases) {
        QImage image(100, 60, QImage::Format_RGB32);
        image.fill(outside);
        QPainter painter(&image);
        DrawGridCell(painter, QRect(10, 10, 60, 30), "8.88", c.fixed, c.selected, palette,
                     QApplication::font());
        painter.end();
        for (const auto& [at, colour] : c.pixels)
            EXPECT_EQ(image.pixelColor(at), colour)
                << c.fixed << c.selected << " " << at.x() << "," << at.y();
        // Text ink: white on the highlight, black elsewhere.
        const QColor ink = c.selected ? Qt::white : Qt::black;
        bool inked = false;
        for (int x = 20; x < 60 && !inked; ++x)
            for (int y = 15; y < 35 && !inked; ++y)
                inked = image.pixelColor(x, y) == ink;
        EXPECT_TRUE(inked) << c.fixed << c.selected;
    }
}

} // namespace
