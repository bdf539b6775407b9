#include "Hourglass.h"
#include "SimTester.h"
#include "UDlgProcess.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

TEST(ProcessWindow, PlacesItsControls) {
    QPointer<TFrmProcess> window = new TFrmProcess;
    EXPECT_EQ(window->size(), QSize(298, 167));
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(window->isVisible());
    const struct {
        QWidget* control;
        QRect place;
    } cases[] = {
        {window->lblTip, {90, 84, 199, 13}},     {window->Image1, {140, 36, 32, 32}},
        {window->PBCount, {18, 21, 17, 76}},     {window->PBProcess, {50, 21, 17, 76}},
        {window->BtnCancel, {104, 124, 75, 25}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.control->geometry(), c.place) << c.control->metaObject()->className();
    EXPECT_EQ(window->PBCount->orientation(), Qt::Vertical);
    EXPECT_EQ(window->PBProcess->orientation(), Qt::Vertical);
    EXPECT_EQ(window->BtnCancel->text(), QString("取消"));
    EXPECT_EQ(window->lblTip->text(), QString("系统正在检测数据，请稍候 ..."));
    EXPECT_EQ(window->PBCount->maximum(), 100);
    window->SetTip("正在上传数据...");
    EXPECT_EQ(window->lblTip->text(), QString("正在上传数据..."));
    window->close();
}

TEST(ProcessWindow, AnimationRunsThroughFourDistinctFrames) {
    const auto& frames = HourglassFrames();
    std::vector<QImage> images{HourglassIcon().toImage()};
    for (const QPixmap& frame : frames) {
        EXPECT_EQ(frame.size(), QSize(32, 32));
        images.push_back(frame.toImage());
    }
    for (size_t a = 0; a < images.size(); ++a)
        for (size_t b = a + 1; b < images.size(); ++b)
            EXPECT_NE(images[a], images[b]) << a << " and " << b;

    QPointer<TFrmProcess> window = new TFrmProcess;
    EXPECT_TRUE(window->Timer1->isActive());
    EXPECT_EQ(window->Timer1->interval(), 100);
    EXPECT_EQ(window->ShownFrame(), -1);
    EXPECT_EQ(window->Image1->pixmap().toImage(), HourglassIcon().toImage());
    const int expected[] = {1, 2, 3, 0, 1, 2, 3, 0, 1, 2};
    for (int tick = 0; tick < 10; ++tick) {
        window->Timer1Timer();
        EXPECT_EQ(window->ShownFrame(), expected[tick]) << "tick " << tick + 1;
    }
    EXPECT_EQ(window->Image1->pixmap().toImage(), frames[2].toImage());
    window->close();
}

TEST(ProcessWindow, RangesSetMaximumMinimumThenPosition) {
    QPointer<TFrmProcess> window = new TFrmProcess;
    // From the initial 0..100, a range above 100 must not be clipped by the
    // old maximum, nor a range below by the old minimum.
    const struct { int min, max; } ranges[] = {{1, 2}, {1, 137}, {200, 300}, {-5, -1}};
    for (const auto& r : ranges) {
        window->SetCountRange(r.min, r.max);
        window->SetProcessRange(r.min, r.max);
        for (QProgressBar* bar : {window->PBCount, window->PBProcess}) {
            EXPECT_EQ(bar->minimum(), r.min);
            EXPECT_EQ(bar->maximum(), r.max);
            EXPECT_EQ(bar->value(), r.min);
        }
    }
    window->SetCountRange(1, 2);
    window->SetProcessRange(1, 3);
    EXPECT_EQ(window->PBCount->value(), 1);
    window->SetPositions(2, 2);
    EXPECT_EQ(window->PBCount->value(), 2);
    EXPECT_EQ(window->PBProcess->value(), 2);
    window->close();
}

TEST(ProcessWindow, CancelCountsFromTheNextStepOn) {
    QPointer<TFrmProcess> window = new TFrmProcess;
    window->SetCountRange(1, 4);
    window->SetProcessRange(1, 3);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(AdvanceProgress(*window, 1, 1));
    EXPECT_GE(clock.elapsed(), 10);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->PBCount->value(), 1);
    // A click waits in the queue until the next step lets events run.
    QMetaObject::invokeMethod(window->BtnCancel, &QPushButton::click, Qt::QueuedConnection);
    EXPECT_FALSE(window->IsCancelled());
    EXPECT_TRUE(AdvanceProgress(*window, 2, 2));
    EXPECT_EQ(window->PBCount->value(), 2);
    EXPECT_TRUE(AdvanceProgress(*window, 3, 3));
    EXPECT_TRUE(AdvanceProgress(*window, 4, 3));
    // The window never closes itself.
    EXPECT_TRUE(window->isVisible());
    window->close();
    FlushDeletes();
    EXPECT_TRUE(window.isNull());

    QPointer<TFrmProcess> escaped = new TFrmProcess;
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(escaped, &escape);
    EXPECT_TRUE(AdvanceProgress(*escaped, 1, 1));
    escaped->close();
}

TEST(ProcessWindow, ClosingWithoutAStepFreesIt) {
    QPointer<TFrmProcess> window = new TFrmProcess;
    window->close();
    FlushDeletes();
    EXPECT_TRUE(window.isNull());
}

} // namespace
