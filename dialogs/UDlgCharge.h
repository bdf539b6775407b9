#pragma once

#include "ChargeValues.h"
#include "LiveTest.h"
#include "TestRecord.h"

#include <QDialog>
#include <array>

class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

// "充电进行中...": polls the tester once a second for the charging voltage
// and current of each phase and shows them with the resistance and its
// change. OK ("开始测试", or the end of a timed charge) goes on to the
// trigger wait; cancel ends the test. Sends nothing on closing. The polls are
// the charge steps of the live test it is given.
class TFrmCharge : public QDialog {
    Q_OBJECT
public:
    // Shows each status poll of `live` from now on; whoever shows the dialog
    // takes the observer back once it closed.
    explicit TFrmCharge(LiveTest& live, QWidget* parent = nullptr);

    // Index 0 is a manual charge; index k closes the dialog with OK after 5k s.
    void SetChargeTime(int index);

    void Timer1Timer();
    void TimerWaitTimer();
    // One poll's answer into the readings and the grid.
    void ShowStatus(const ChargeStatus& status);

    int ElapsedSeconds() const { return elapsed_; }
    const PhaseReading& Reading(int phase) const { return readings_[phase]; }

    QLabel* lblStrtip;
    QTableWidget* SGData;
    QPushButton* BtnOk;
    QPushButton* BtnClose;
    QTimer* Timer1;
    QTimer* TimerWait;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ShowValues();

    LiveTest& live_;
    std::array<PhaseReading, 3> readings_{};
    std::array<bool, 3> shown_{};
    int elapsed_ = 0;
    int limit_ = 0;
};
