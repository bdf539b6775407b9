#pragma once

#include "BusyWindow.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The borderless busy window of long operations: a text line, an animated
// hourglass, two vertical bars and a cancel button. It does no work itself:
// the operation moves the bars and asks whether cancel was pressed. Closing
// it frees it.
class TFrmProcess : public BusyWindow {
    Q_OBJECT
public:
    explicit TFrmProcess(QWidget* owner = nullptr);

    void SetTip(const QString& text);
    void SetCountRange(int min, int max);
    void SetProcessRange(int min, int max);
    void SetPositions(int count, int process);
    bool IsCancelled() const { return CancelFlag; }
    // Frame n (1..4) of the animation into Image1.
    void ShowFrame(int n);
    // The animation frame index Image1 shows, 0..3; -1 while it shows the
    // initial icon.
    int ShownFrame() const { return shownFrame_; }

    void Timer1Timer();
    void BtnCancelClick();

    QLabel* lblTip;
    QLabel* Image1;
    QProgressBar* PBCount;
    QProgressBar* PBProcess;
    QPushButton* BtnCancel;
    QTimer* Timer1;

protected:
    QAbstractButton* CancelButton() const override;
    // A close from outside counts as cancel.
    void CloseFromOutside() override;

private:
    int FrameCounter = 1;
    bool CancelFlag = false;
    int shownFrame_ = -1;
};

// One step of an operation that shows a TFrmProcess: moves the bars, shows
// and paints the window, lets pending events run for 10 ms (the cancel
// button, the animation) and tells whether cancel has been pressed.
bool AdvanceProgress(TFrmProcess& window, int count, int process);
