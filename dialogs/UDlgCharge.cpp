#include "UDlgCharge.h"

#include "Analysis.h"

#include "GridCells.h"
#include "Message.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kRows = 5;
constexpr int kColumns = 4;
constexpr int kRowHeight = 24;
constexpr int kFirstColumnWidth = 80;
constexpr int kColumnWidth = 90;

} // namespace

TFrmCharge::TFrmCharge(LiveTest& live, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      lblStrtip(new QLabel(this)), SGData(new QTableWidget(this)),
      BtnOk(new QPushButton(QCoreApplication::translate("UDlgCharge", "开始测试"), this)),
      BtnClose(new QPushButton(QCoreApplication::translate("UDlgCharge", "取消"), this)),
      Timer1(new QTimer(this)), TimerWait(new QTimer(this)), live_(live),
      shown_(DrawnPhases(live.Record().params.iSwitchType, live.Record().params.iTestMode)) {
    setWindowTitle(QCoreApplication::translate("UDlgCharge", "充电进行中..."));

    SetupFixedGrid(*SGData, kRows, kColumns);
    SGData->setSelectionMode(QAbstractItemView::SingleSelection);
    SGData->setColumnWidth(0, kFirstColumnWidth);
    for (int column = 1; column < kColumns; ++column)
        SGData->setColumnWidth(column, kColumnWidth);
    for (int row = 0; row < kRows; ++row)
        SGData->setRowHeight(row, kRowHeight);
    SGData->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SGData->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SGData->setFixedSize(kFirstColumnWidth + 3 * kColumnWidth + 2 * SGData->frameWidth(),
                         kRows * kRowHeight + 2 * SGData->frameWidth());
    const QStringList phases = {"A", "B", "C"};
    for (int column = 1; column < kColumns; ++column)
        SetGridText(*SGData, 0, column, phases[column - 1]);
    const QStringList rows = {QCoreApplication::translate("UDlgCharge", "电压"),
                              QCoreApplication::translate("UDlgCharge", "电流"),
                              QCoreApplication::translate("UDlgCharge", "电阻"),
                              QCoreApplication::translate("UDlgCharge", "电阻变化率")};
    for (int row = 1; row < kRows; ++row)
        SetGridText(*SGData, row, 0, rows[row - 1]);
    for (int row = 1; row < kRows; ++row)
        for (int column = 1; column < kColumns; ++column)
            SetGridText(*SGData, row, column, {});

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOk);
    buttons->addWidget(BtnClose);
    auto* column = new QVBoxLayout(this);
    column->addWidget(lblStrtip);
    column->addWidget(SGData);
    column->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    BtnOk->setDefault(true);
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::reject);

    live_.observer.charge = [this](const ChargeStatus& status, int) { ShowStatus(status); };
    Timer1->setInterval(live_.Timing().chargeSecondMs);
    connect(Timer1, &QTimer::timeout, this, &TFrmCharge::Timer1Timer);
    Timer1->start();
    TimerWait->setInterval(1000);
    connect(TimerWait, &QTimer::timeout, this, &TFrmCharge::TimerWaitTimer);
}

void TFrmCharge::SetChargeTime(int index) {
    if (index == 0)
        return;
    limit_ = index * 5;
    TimerWait->start();
}

void TFrmCharge::Timer1Timer() {
    Timer1->stop();
    if (live_.Next() != LiveStep::ChargeStatus)
        return;
    if (live_.Step().Failed()) {
        // Polling ends here; the operator can still start or cancel.
        ShowMessage(QCoreApplication::translate("UDlgCharge", "通讯失败！"), MsgIcon::Error);
        return;
    }
    Timer1->start();
}

void TFrmCharge::ShowStatus(const ChargeStatus& status) {
    for (int phase = 0; phase < 3; ++phase)
        TakeReading(readings_[phase], status.millivolts[phase], status.milliamps[phase]);
    ShowValues();
}

void TFrmCharge::ShowValues() {
    for (int phase = 0; phase < 3; ++phase) {
        if (!shown_[phase])
            continue;
        const QStringList texts = ReadingTexts(readings_[phase]);
        for (int row = 1; row < kRows; ++row)
            SetGridText(*SGData, row, phase + 1, texts[row - 1]);
    }
}

void TFrmCharge::TimerWaitTimer() {
    TimerWait->stop();
    ++elapsed_;
    lblStrtip->setText(QCoreApplication::translate("UDlgCharge", "已充电%1 S...").arg(elapsed_));
    if (elapsed_ >= limit_) {
        accept();
        return;
    }
    TimerWait->start();
}

void TFrmCharge::keyPressEvent(QKeyEvent* event) {
    // Escape does not cancel the charge: only the button does.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFrmCharge::showEvent(QShowEvent* event) {
    if (const QScreen* where = screen())
        move(where->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}
