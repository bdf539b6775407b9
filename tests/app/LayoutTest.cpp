#include "MainWindowFixture.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QWindow>

TEST(Layout, ProportionsFollowThePlotHeight) {
    struct Case {
        int chart, a, b, group, titleA, titleBC, panel, r1, r9;
    };
    const Case cases[] = {
        {400, 12, 356, 99, 22, 20, 159, 13, 112}, // 10*356/36 = 98.9; R9 = ceil(98.9*9/8)
        {551, 17, 502, 140, 31, 28, 224, 18, 157},
        {20, 1, 0, 0, 1, 0, 0, 0, 0}, // too low: laid out as for b = 0
    };
    for (const Case& c : cases) {
        const LayoutMetrics m = ComputeLayout(c.chart);
        EXPECT_EQ(m.a, c.a) << c.chart;
        EXPECT_EQ(m.b, c.b) << c.chart;
        EXPECT_EQ(m.resultGroup, c.group) << c.chart;
        EXPECT_EQ(m.titleA, c.titleA) << c.chart;
        EXPECT_EQ(m.titleBC, c.titleBC) << c.chart;
        EXPECT_EQ(m.paramPanel, c.panel) << c.chart;
        EXPECT_EQ(m.R[1], c.r1) << c.chart;
        EXPECT_EQ(m.R[9], c.r9) << c.chart;
    }
}

TEST_F(MainWindowTest, WindowPutsEachResultsGroupLevelWithItsBand) {
    // The chart takes what the rows above and below leave: aim twice.
    for (int round = 0; round < 2; ++round) {
        window->resize(965, window->height() + 551 - window->ChartA->height());
        QApplication::processEvents();
    }
    ASSERT_EQ(window->ChartA->height(), 551);
    QLineEdit* at1 = window->ResultBoxes[0];
    QWidget* groupA = at1->parentWidget();
    EXPECT_EQ(groupA->height(), 140);
    EXPECT_EQ(groupA->y(), 35 + 31) << "the title of phase A is a + b/36 high";
    EXPECT_EQ(window->ResultBoxes[6]->parentWidget()->y(), 35 + 31 + 140 + 28);
    EXPECT_EQ(at1->y(), 18);
    EXPECT_EQ(window->ResultBoxes[1]->y(), window->Layout().R[2]);
    EXPECT_EQ(window->cbSwitchType->y(), 18 - 12);
    EXPECT_EQ(window->EdtUser->y(), 18);
    // The plot starts at the chart's top margin and leaves 32 pixels under it.
    EXPECT_EQ(window->ChartA->axisRect()->top(), 17);
    EXPECT_EQ(window->ChartA->axisRect()->height(), 502);
    // The strip of the chart's left margin, placed as the relay says.
    TRuler* ruler = window->ChartA->Ruler();
    EXPECT_EQ(ruler->y(), 7);
    EXPECT_EQ(ruler->height(), 512);
    EXPECT_EQ(ruler->width(), int(std::ceil(window->ChartA->width() * 0.05)));
    EXPECT_EQ(ruler->Props().Partition, 3600);
    EXPECT_EQ(ruler->Props().MaxValues, 1000);

    window->resize(100, 100);
    QApplication::processEvents();
    EXPECT_GE(window->width(), 800);
    EXPECT_GE(window->height(), 600);
}

TEST_F(MainWindowTest, TheWindowIsNoLargerThanItsScreen) {
    const QSize screen = window->windowHandle()->screen()->size();
    EXPECT_EQ(window->maximumSize(), screen);
    EXPECT_EQ(window->minimumSize(), QSize(800, 600));
    window->resize(screen.width() + 300, screen.height() + 300);
    EXPECT_LE(window->width(), screen.width());
    EXPECT_LE(window->height(), screen.height());
}

// A family that is not installed is looked up again on every text layout.
TEST_F(MainWindowTest, EveryTextAsksForAnInstalledFamily) {
    const QStringList installed = QFontDatabase::families();
    for (const QWidget* w : window->findChildren<QWidget*>())
        EXPECT_TRUE(installed.contains(w->font().family(), Qt::CaseInsensitive))
            << w->objectName().toStdString() << ": " << w->font().family().toStdString();
}
