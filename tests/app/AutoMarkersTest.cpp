#include "MainWindowFixture.h"

#include "ChartMath.h"

#include <QLabel>
#include <QPushButton>

namespace {

// Phase A changes tap 50..60..64..72 ms; phase C stays flat; B is not drawn.
QString WriteTransition(const QString& path) {
    TestRecord r;
    r.params.iSwitchType = 1;
    r.params.iTestMode = 0; // (A.C)->B
    const int edges[4] = {500, 600, 640, 720};
    const int levels[5] = {300, 800, 550, 820, 310};
    for (int k = 1; k <= kSampleCount; ++k) {
        int stage = 0;
        while (stage < 4 && k >= edges[stage])
            ++stage;
        r.WaveA[k - 1] = levels[stage];
        r.WaveB[k - 1] = levels[stage];
        r.WaveC[k - 1] = 300;
    }
    EXPECT_TRUE(WriteTestFile(path, r));
    return path;
}

} // namespace

TEST_F(MainWindowTest, AutoMarkersPlaceTheDrawnPhasesAndTheResultsFollow) {
    window->BtnAutoMarkers->click();
    EXPECT_EQ(window->StatusPanels[1]->text(), u"没有显示的波形");

    answer = WriteTransition(FilePath("t.cty"));
    window->BtnOpen->click();
    ASSERT_EQ(window->ChartA->Markers().phase[0], (std::array<int, 4>{100, 200, 300, 400}));
    EXPECT_TRUE(window->BtnAutoMarkers->isVisible());
    // Ctrl+M is the button.
    QTest::keyClick(window.get(), Qt::Key_M, Qt::ControlModifier);
    const TransitionMarkers m = window->ChartA->Markers();
    EXPECT_EQ(m.phase[0], (std::array<int, 4>{500, 600, 640, 720}));
    EXPECT_EQ(m.phase[1], (std::array<int, 4>{})) << "B is not drawn: nothing placed";
    EXPECT_EQ(m.phase[2], (std::array<int, 4>{100, 200, 300, 400})) << "C has no transition";
    EXPECT_EQ(window->StatusPanels[1]->text(), u"A 已自动定位，C 无跳变");
    EXPECT_TRUE(window->StatusPanels[1]->toolTip().startsWith(u"把握度（1 为下限）：A "))
        << window->StatusPanels[1]->toolTip().toStdString();
    EXPECT_EQ(Box("EdtAT1"), u"10.0");
    EXPECT_EQ(Box("EdtAT2"), u"4.0");
    EXPECT_EQ(Box("EdtAT3"), u"8.0");
    EXPECT_EQ(Box("EdtAT"), u"22.0");
    EXPECT_EQ(Box("EdtAR1"), u"4.98");

    // A redraw still puts them back where they start.
    window->cbInverted->click();
    EXPECT_EQ(window->ChartA->Markers().phase[0], (std::array<int, 4>{100, 200, 300, 400}));
    EXPECT_TRUE(messages.isEmpty());
}
