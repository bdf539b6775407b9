#include "UDlgProcess.h"

#include "ChartStyle.h"
#include "Helpers.h"
#include "Hourglass.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {

QProgressBar* VerticalBar(QWidget* parent, int left) {
    auto* bar = new QProgressBar(parent);
    bar->setOrientation(Qt::Vertical);
    bar->setTextVisible(false);
    bar->setGeometry(left, 21, 17, 76);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setCursor(Qt::WaitCursor);
    return bar;
}

// QProgressBar keeps its range ordered; set maximum, then minimum, then
// the position, as the callers expect.
void SetRange(QProgressBar& bar, int min, int max) {
    bar.setMaximum(max);
    bar.setMinimum(min);
    bar.setValue(min);
}

} // namespace

TFrmProcess::TFrmProcess(QWidget* owner)
    : BusyWindow(owner, Qt::Tool | Qt::FramelessWindowHint), lblTip(new QLabel(this)),
      Image1(new QLabel(this)), PBCount(VerticalBar(this, 18)), PBProcess(VerticalBar(this, 50)),
      BtnCancel(new QPushButton(QCoreApplication::translate("UDlgProcess", "取消"), this)),
      Timer1(new QTimer(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(298, 167);
    setFont(QFont(SongtiFamily(), 9));

    lblTip->setGeometry(90, 84, 199, 13);
    lblTip->setText(QCoreApplication::translate("UDlgProcess", "系统正在检测数据，请稍候 ..."));

    Image1->setGeometry(140, 36, 32, 32);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(HourglassIcon());
    Image1->setCursor(Qt::WaitCursor);

    BtnCancel->setGeometry(104, 124, 75, 25);
    BtnCancel->setCursor(Qt::PointingHandCursor);
    connect(BtnCancel, &QPushButton::clicked, this, &TFrmProcess::BtnCancelClick);

    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TFrmProcess::Timer1Timer);
    Timer1->start();
}

void TFrmProcess::SetTip(const QString& text) {
    lblTip->setText(text);
}

void TFrmProcess::SetCountRange(int min, int max) {
    SetRange(*PBCount, min, max);
}

void TFrmProcess::SetProcessRange(int min, int max) {
    SetRange(*PBProcess, min, max);
}

void TFrmProcess::SetPositions(int count, int process) {
    PBCount->setValue(count);
    PBProcess->setValue(process);
}

void TFrmProcess::ShowFrame(int n) {
    shownFrame_ = std::clamp(n - 1, 0, kHourglassFrames - 1);
    Image1->setPixmap(HourglassFrames()[shownFrame_]);
    Image1->repaint();
}

void TFrmProcess::Timer1Timer() {
    if (++FrameCounter > kHourglassFrames)
        FrameCounter = 1;
    ShowFrame(FrameCounter);
}

void TFrmProcess::BtnCancelClick() {
    CancelFlag = true;
}

QAbstractButton* TFrmProcess::CancelButton() const {
    return BtnCancel;
}

void TFrmProcess::CloseFromOutside() {
    CancelFlag = true;
}

bool AdvanceProgress(TFrmProcess& window, int count, int process) {
    window.SetPositions(count, process);
    window.show();
    window.repaint();
    Delay(10);
    return window.IsCancelled();
}
