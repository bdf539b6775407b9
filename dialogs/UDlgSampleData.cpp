#include "UDlgSampleData.h"

#include "ChartStyle.h"
#include "Helpers.h"
#include "Hourglass.h"
#include "LiveTest.h"
#include "Message.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {

QTimer* MakeTimer(QObject* owner, int interval) {
    auto* timer = new QTimer(owner);
    timer->setInterval(interval);
    return timer;
}

} // namespace

TFrmSampleData::TFrmSampleData(LiveTest& live, std::function<void()> onComplete, QWidget* parent)
    : BusyWindow(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lblTip(new QLabel(this)), Image1(new QLabel(this)), PBProcess(new QProgressBar(this)),
      BtnCancel(new QPushButton(QCoreApplication::translate("UDlgSampleData", "取消"), this)),
      Timer1(MakeTimer(this, 100)), TimerWartforValid(MakeTimer(this, live.Timing().triggerPollMs)),
      TimerSample(MakeTimer(this, live.Timing().blockGapMs)), live_(live) {
    live_.observer.captured = std::move(onComplete);
    setWindowTitle(QCoreApplication::translate("UDlgSampleData", "请稍候..."));
    setFixedSize(298, 167);
    setFont(QFont(SongtiFamily(), 9));

    lblTip->setGeometry(80, 80, 210, 30);
    lblTip->setWordWrap(true);
    Image1->setGeometry(140, 36, 32, 32);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(HourglassIcon());
    Image1->setCursor(Qt::WaitCursor);
    PBProcess->setOrientation(Qt::Vertical);
    PBProcess->setTextVisible(false);
    PBProcess->setGeometry(34, 21, 17, 76);
    BtnCancel->setGeometry(104, 124, 75, 25);
    BtnCancel->setCursor(Qt::PointingHandCursor);

    connect(BtnCancel, &QPushButton::clicked, this, &TFrmSampleData::BtnCancelClick);
    connect(Timer1, &QTimer::timeout, this, &TFrmSampleData::Timer1Timer);
    connect(TimerWartforValid, &QTimer::timeout, this, &TFrmSampleData::TimerWartforValidTimer);
    connect(TimerSample, &QTimer::timeout, this, &TFrmSampleData::TimerSampleTimer);
    Timer1->start();
}

int TFrmSampleData::CurrentBlock() const {
    return live_.Block();
}

void TFrmSampleData::SetTip(const QString& text) {
    lblTip->setText(text);
}

void TFrmSampleData::SetProcessRange(int min, int max) {
    PBProcess->setMaximum(max);
    PBProcess->setMinimum(min);
    PBProcess->setValue(min);
}

void TFrmSampleData::SetProcessPosition(int position) {
    PBProcess->setValue(position);
}

void TFrmSampleData::Fail() {
    ShowMessage(QCoreApplication::translate("UDlgSampleData", "通讯失败！"), MsgIcon::Error);
    state = 0;
}

void TFrmSampleData::FormShow() {
    if (armed_)
        return;
    armed_ = true;
    if (live_.Step().Failed()) {
        Fail();
        return;
    }
    // Any other answer than ACK is not reported: the wait goes on until cancelled.
    if (!live_.Waiting())
        TimerWartforValid->start();
}

void TFrmSampleData::Timer1Timer() {
    if (++frame > kHourglassFrames)
        frame = 1;
    shownFrame_ = std::clamp(frame - 1, 0, kHourglassFrames - 1);
    Image1->setPixmap(HourglassFrames()[shownFrame_]);
    Image1->repaint();
}

void TFrmSampleData::TimerWartforValidTimer() {
    TimerWartforValid->stop();
    if (state != -1 || live_.Next() != LiveStep::PollTrigger)
        return;
    if (live_.Step().Failed()) {
        Fail();
        return;
    }
    if (live_.Next() == LiveStep::Upload)
        TimerSample->start();
    else
        TimerWartforValid->start();
}

void TFrmSampleData::TimerSampleTimer() {
    TimerSample->stop();
    if (state != -1 || live_.Next() != LiveStep::Upload)
        return;
    const int block = live_.Block();
    const char* phase = block == 1 ? "A" : block == 2 ? "B" : "C";
    SetTip(QCoreApplication::translate("UDlgSampleData", "正在上传%1相数据，请稍候....")
               .arg(QLatin1String(phase)));
    // The last block stamps the test, and the main window shows it before
    // the record is marked as holding data.
    if (live_.Step().Failed()) {
        Fail();
        return;
    }
    if (live_.Captured())
        state = 1;
    else
        TimerSample->start();
}

void TFrmSampleData::BtnCancelClick() {
    if (live_.Cancel().Failed())
        ShowMessage(QCoreApplication::translate("UDlgSampleData", "通讯失败！"), MsgIcon::Error);
    // No poll and no further block after a cancel, whatever the stop did.
    TimerWartforValid->stop();
    TimerSample->stop();
    state = 0;
}

QAbstractButton* TFrmSampleData::CancelButton() const {
    return BtnCancel;
}

void TFrmSampleData::CloseFromOutside() {
    if (state == -1)
        BtnCancel->click();
}

void TFrmSampleData::showEvent(QShowEvent* event) {
    BusyWindow::showEvent(event);
    FormShow();
}
