#pragma once

#include "BusyWindow.h"

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class LiveTest;

// "请稍候...": arms the tester's trigger when shown, asks every 3 s whether
// the tap changer has operated, then uploads phases A, B, C and the rotation
// into the record, one block every 100 ms: the trigger steps of the live
// test it is given. The procedure that shows it reads the state: -1
// running, 0 ended without data, 1 complete.
class TFrmSampleData : public BusyWindow {
    Q_OBJECT
public:
    // `onComplete` runs once all four blocks are stored and stamped, before
    // the record is marked as holding data.
    // `onComplete` becomes the capture observer of `live`; whoever shows
    // the dialog takes it back once the dialog closed.
    TFrmSampleData(LiveTest& live, std::function<void()> onComplete, QWidget* parent = nullptr);

    void SetTip(const QString& text);
    void SetProcessRange(int min, int max);
    void SetProcessPosition(int position);
    int ReadState() const { return state; }
    int CurrentBlock() const;
    int ShownFrame() const { return shownFrame_; }

    void FormShow();
    void Timer1Timer();
    void TimerWartforValidTimer();
    void TimerSampleTimer();
    void BtnCancelClick();

    QLabel* lblTip;
    QLabel* Image1;
    QProgressBar* PBProcess;
    QPushButton* BtnCancel;
    QTimer* Timer1;
    QTimer* TimerWartforValid;
    QTimer* TimerSample;

protected:
    QAbstractButton* CancelButton() const override;
    // A close from outside cancels a wait or an upload that still runs.
    void CloseFromOutside() override;
    // Showing it arms the trigger.
    void showEvent(QShowEvent* event) override;

private:
    void Fail();

    LiveTest& live_;
    int state = -1;
    int frame = 1;
    int shownFrame_ = -1;
    bool armed_ = false;
};
