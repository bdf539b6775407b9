#include "UDlgSampleData.h"

#include "ChartStyle.h"
#include "Helpers.h"
#include "Hourglass.h"
#include "Message.h"
#include "Requests.h"
#include "Responses.h"
#include "UCommUnit.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace {

QTimer* MakeTimer(QObject* owner, int interval) {
    auto* timer = new QTimer(owner);
    timer->setInterval(interval);
    return timer;
}

} // namespace

TFrmSampleData::TFrmSampleData(TestRecord& record, std::function<void()> onComplete,
                               QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lblTip(new QLabel(this)), Image1(new QLabel(this)), PBProcess(new QProgressBar(this)),
      BtnCancel(new QPushButton(QStringLiteral("取消"), this)), Timer1(MakeTimer(this, 100)),
      TimerWartforValid(MakeTimer(this, 3000)), TimerSample(MakeTimer(this, 100)), record_(record),
      onComplete_(std::move(onComplete)) {
    setWindowTitle(QStringLiteral("请稍候..."));
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
    ShowMessage(QStringLiteral("通讯失败！"), MsgIcon::Error);
    state = 0;
}

void TFrmSampleData::FormShow() {
    if (armed_)
        return;
    armed_ = true;
    QByteArray response(kRequestBufferSize, '\0');
    if (!Transact(ArmTriggerRequest(), response)) {
        Fail();
        return;
    }
    // Any other answer is not reported: the wait goes on until cancelled.
    if (IsAck(response))
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
    if (state != -1)
        return;
    QByteArray response(kRequestBufferSize, '\0');
    if (!Transact(PollTriggerRequest(), response)) {
        Fail();
        return;
    }
    if (IsAck(response)) {
        block = 1;
        TimerSample->start();
    } else {
        TimerWartforValid->start();
    }
}

void TFrmSampleData::TimerSampleTimer() {
    TimerSample->stop();
    if (state != -1)
        return;
    const char* phase = block == 1 ? "A" : block == 2 ? "B" : "C";
    SetTip(QString::asprintf("正在上传%s相数据，请稍候....", phase));
    QByteArray response(kBlockBufferSize, '\0');
    if (!Transact(UploadBlockRequest(quint8(block)), response) ||
        !StoreUploadBlock(block, response, record_)) {
        Fail();
        return;
    }
    if (block < 4) {
        ++block;
        TimerSample->start();
        return;
    }
    state = 1;
    record_.strTestTime.SetText(DateTimeText(QDateTime::currentDateTime()));
    if (onComplete_)
        onComplete_();
    record_.HasData = true;
}

void TFrmSampleData::BtnCancelClick() {
    QByteArray response(kRequestBufferSize, '\0');
    if (!Transact(StopRequest(), response))
        ShowMessage(QStringLiteral("通讯失败！"), MsgIcon::Error);
    // No poll and no further block after a cancel, whatever the stop did.
    TimerWartforValid->stop();
    TimerSample->stop();
    state = 0;
}

void TFrmSampleData::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        event->ignore();
        if (state == -1)
            BtnCancel->click();
        return;
    }
    QWidget::closeEvent(event);
}

void TFrmSampleData::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        BtnCancel->click();
    else
        QWidget::keyPressEvent(event);
}

void TFrmSampleData::showEvent(QShowEvent* event) {
    const QWidget* over = parentWidget() ? parentWidget()->window() : nullptr;
    if (over && over->isVisible())
        move(over->frameGeometry().center() - rect().center());
    else if (const QScreen* where = screen())
        move(where->availableGeometry().center() - rect().center());
    QWidget::showEvent(event);
    FormShow();
}
