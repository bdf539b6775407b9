#include "Hourglass.h"
#include "LiveTest.h"
#include "SimTester.h"
#include "UDlgProcess.h"
#include "UDlgSampleData.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

namespace {

TEST(ProcessWindow, AnimatesFourDistinctFrames) {
    std::vector<QImage> images{HourglassIcon().toImage()};
    for (const QPixmap& frame : HourglassFrames())
        images.push_back(frame.toImage());
    for (size_t a = 0; a < images.size(); ++a)
        for (size_t b = a + 1; b < images.size(); ++b)
            EXPECT_NE(images[a], images[b]) << a << " and " << b;

    QPointer<TFrmProcess> window = new TFrmProcess;
    EXPECT_EQ(window->ShownFrame(), -1); // the initial icon until the first tick
    const int expected[] = {1, 2, 3, 0, 1, 2, 3, 0, 1, 2};
    for (int tick = 0; tick < 10; ++tick) {
        window->Timer1Timer();
        EXPECT_EQ(window->ShownFrame(), expected[tick]) << "tick " << tick + 1;
    }
    EXPECT_EQ(window->Image1->pixmap().toImage(), images[3]);
    // Closing frees it, also when no step has run.
    window->close();
    FlushDeletes();
    EXPECT_TRUE(window.isNull());
}

// A family that is not installed is looked up again on every text layout.
TEST(ProcessWindow, BothProgressWindowsAskForAnInstalledFamily) {
    TestRecord record;
    Tester tester;
    LiveTest live(tester, record);
    TFrmProcess process;
    TFrmSampleData sampleData(live, [] {});
    for (const QWidget* w : {static_cast<QWidget*>(&process), static_cast<QWidget*>(&sampleData)})
        EXPECT_TRUE(QFontDatabase::families().contains(w->font().family(), Qt::CaseInsensitive))
            << w->font().family().toStdString();
}

TEST(ProcessWindow, RangesAndCancel) {
    QPointer<TFrmProcess> window = new TFrmProcess;
    // Neither the old maximum nor the old minimum may clip a new range.
    for (const auto& [min, max] : {std::pair{1, 137}, {200, 300}, {-5, -1}, {1, 2}}) {
        window->SetCountRange(min, max);
        EXPECT_EQ(window->PBCount->minimum(), min);
        EXPECT_EQ(window->PBCount->maximum(), max);
        EXPECT_EQ(window->PBCount->value(), min);
    }
    window->SetProcessRange(1, 3);
    EXPECT_FALSE(AdvanceProgress(*window, 2, 2));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->PBCount->value(), 2);
    EXPECT_EQ(window->PBProcess->value(), 2);
    // A click waits in the queue until the next step lets events run; from
    // then on every step reports it, and the window stays.
    QMetaObject::invokeMethod(window->BtnCancel, &QPushButton::click, Qt::QueuedConnection);
    EXPECT_FALSE(window->IsCancelled());
    for (int step = 0; step < 3; ++step)
        EXPECT_TRUE(AdvanceProgress(*window, 1, 1)) << step;
    EXPECT_TRUE(window->isVisible());
    window->close();

    TFrmProcess escaped;
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&escaped, &escape);
    EXPECT_TRUE(escaped.IsCancelled());
}

// Both busy windows stand centred over their owner, and Escape does not
// take either away: it is their cancel, and only the operation closes them.
TEST(ProcessWindow, BusyWindowsAreCentredAndEscapeIsTheirCancel) {
    SimTester tester;
    TestRecord record;
    LiveTest live(tester.Link(), record, WindowPace(), WindowRules(), LiveStep::Arm);
    QWidget owner;
    owner.setGeometry(100, 80, 900, 700);
    owner.show();
    TFrmProcess process(&owner);
    TFrmSampleData sampleData(
        live, [] {}, &owner);
    for (QWidget* window : {static_cast<QWidget*>(&process), static_cast<QWidget*>(&sampleData)}) {
        window->show();
        // Within the rounding of two centres.
        EXPECT_LE(
            (window->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(),
            4);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(window, &escape);
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_TRUE(process.IsCancelled());
    EXPECT_EQ(sampleData.ReadState(), 0);
    EXPECT_EQ(tester.Requests(), QStringList({"F7 00", "F9 00"})); // armed, then one stop
    EXPECT_TRUE(tester.messages.isEmpty());
}

} // namespace
