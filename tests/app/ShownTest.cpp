#include "MainWindowFixture.h"

#include "ChartMath.h"
#include "ShownTest.h"

#include <QCheckBox>
#include <QPushButton>

// The report and the exports are fed from the window by ShownNow and from a
// file by ShownTestOf: both must give the same value, whatever is shown.
TEST_F(MainWindowTest, TheWindowShowsWhatAFileGivesTheCommandLine) {
    struct Case {
        quint8 switchType, mode;
        bool inverted;
        std::array<int, 4> markerA;
    };
    const Case cases[] = {
        {0, 0, false, {100, 200, 300, 400}},
        {1, 0, true, {100, 200, 300, 400}},
        {1, 1, false, {40, 260, 300, 410}}, // markers moved by hand
    };
    window->Link().State().Brand = 2;
    UDataCenter().settings.gRColor = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.switchType) << "/" << int(c.mode));
        answer = WriteTest("t.cty", c.switchType, c.mode);
        window->BtnOpen->click();
        if (window->cbInverted->isChecked() != c.inverted)
            window->cbInverted->click();
        for (int j = 0; j < 4; ++j)
            window->ChartA->PlaceMarker(MarkerNumber(kPhaseA, j + 1), c.markerA[j]);
        window->ShowResults();

        TestRecord fromFile;
        ASSERT_EQ(LoadTestFile(answer, fromFile), TestFileError::None);
        fromFile.HasData = true; // displayed
        TransitionMarkers markers = StartMarkers(fromFile.params);
        markers.phase[0] = c.markerA;
        const ShownTest expected = ShownTestOf(fromFile, markers, c.inverted, {10, 192, 192}, 2);
        const ShownTest shown = window->ShownNow();
        EXPECT_EQ(shown.panel, expected.panel);
        EXPECT_EQ(shown.boxes, expected.boxes);
        EXPECT_EQ(shown.markers, expected.markers);
        EXPECT_EQ(shown.record, expected.record);
        EXPECT_EQ(shown, expected);
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(MainWindowTest, NothingDisplayedShowsEmptyResultBoxes) {
    const ShownTest shown = window->ShownNow();
    for (const QString& box : shown.boxes)
        EXPECT_TRUE(box.isEmpty());
    EXPECT_EQ(shown.boxes, ShownTestOf(Record(), {}, false, {}, 1).boxes);
    EXPECT_EQ(shown.panel.memoTime, QString());
}
