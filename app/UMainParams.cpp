// The parameter panel of the main window.
#include "UMain.h"

#include "GbkText.h"
#include "Helpers.h"
#include "Message.h"
#include "ParamLists.h"
#include "ParamRules.h"
#include "UDataCenter.h"
#include "WaveChart.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QToolButton>

namespace {

void Select(QComboBox* box, int index) {
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

void Refill(QComboBox* box, const QStringList& items) {
    box->clear();
    box->addItems(items);
}

quint8 IndexByte(const QComboBox* box) {
    return quint8(box->currentIndex() & 0xFF);
}

} // namespace

void TFrmMain::FillParamPanel() {
    paramsReady_ = false;
    const TestParams& tp = dc_.record.params;
    {
        const QSignalBlocker block(cbSwitchType);
        Refill(cbSwitchType, SwitchTypeItems());
        Select(cbSwitchType, tp.iSwitchType);
    }
    SwitchTypeChanged();
    const auto fill = [](QComboBox* box, const QStringList& items, int index) {
        const QSignalBlocker block(box);
        Refill(box, items);
        Select(box, index);
    };
    fill(cbTestStep, TestStepItems(), tp.iTestStep);
    fill(cbSampleLength, SampleLengthItems(), tp.iSampleLength);
    fill(cbChargeTime, ChargeTimeItems(), tp.iChargeTime);
    fill(cbSeriesType, SeriesTypeItems(), tp.iSeriesType);
    EdtSampleBurst->setText(FixedText(tp.iSampleBurst, 1));
    EdtSamplePoint->setText(QString::number(tp.iSamplePoint));
    EdtSampleTime->setText(FixedText(tp.iSamplePoint, 1));
    EdtUser->setText(dc_.record.strTestUser.Text());
    EdtAddr->setText(dc_.record.strTestAdd.Text());
    MemoTime->setPlainText(dc_.record.strTestTime.Text());
    paramsReady_ = true;
}

void TFrmMain::SwitchTypeChanged() {
    {
        const QSignalBlocker block(cbTestMode);
        const bool neutralOut = cbSwitchType->currentIndex() == 0;
        Refill(cbTestMode, TestModeItems(neutralOut ? 0 : 1));
        Select(cbTestMode, neutralOut ? 0 : dc_.record.params.iTestMode);
    }
    cbTestMode->setEnabled(cbSwitchType->currentIndex() == 1 && cbSwitchType->isEnabled());
    ParamChanged();
}

void TFrmMain::ParamChanged() {
    if (!paramsReady_)
        return;
    // A displayed test no longer matches the parameters.
    ClearTestDisplay();
    if (ReadParamPanel())
        SendParams();
}

bool TFrmMain::ReadParamPanel() {
    TestParams& tp = dc_.record.params;
    tp.iSwitchType = IndexByte(cbSwitchType);
    tp.iTestMode = IndexByte(cbTestMode);
    tp.iTestStep = IndexByte(cbTestStep);
    tp.iSampleLength = IndexByte(cbSampleLength);
    tp.iChargeTime = IndexByte(cbChargeTime);
    tp.iSeriesType = IndexByte(cbSeriesType);

    const auto fail = [](QWidget* box, const QString& text) {
        ShowMessage(text, MsgIcon::Error);
        box->setFocus();
        return false;
    };
    const std::optional<int> burst = ThresholdTenths(EdtSampleBurst->text());
    if (!burst)
        return fail(EdtSampleBurst, QCoreApplication::translate(
                                        "UMainParams", "采样触发范围为：0.1--20Ω，请重新输入！"));
    tp.iSampleBurst = *burst;

    const std::optional<int> points = PreSamplePoints(EdtSamplePoint->text());
    if (!points)
        return fail(EdtSamplePoint, QCoreApplication::translate(
                                        "UMainParams", "预采样点范围为：0--255，请重新输入！"));
    tp.iSamplePoint = *points;

    const QByteArray user = ToGbk(TrimmedText(EdtUser->text()));
    if (user.size() > kMaxNameBytes)
        return fail(EdtUser,
                    QCoreApplication::translate("UMainParams", "测试人员不得超过20个字符串！"));
    dc_.record.strTestUser.Set(user);

    const QByteArray place = ToGbk(TrimmedText(EdtAddr->text()));
    if (place.size() > kMaxNameBytes)
        return fail(EdtAddr,
                    QCoreApplication::translate("UMainParams", "测试地点不得超过20个字符串！"));
    dc_.record.strTestAdd.Set(place);
    return true;
}

void TFrmMain::SampleBurstChanged() {
    // An incomplete or out-of-range entry raises nothing while it is typed.
    if (paramsReady_ && ThresholdTenths(EdtSampleBurst->text()))
        ParamChanged();
}

void TFrmMain::SamplePointChanged() {
    if (!pointFocused_)
        return;
    bool ok = false;
    const int n = EdtSamplePoint->text().trimmed().toInt(&ok);
    if (ok)
        EdtSampleTime->setText(FixedText(n, 1));
    ParamChanged();
}

void TFrmMain::SampleTimeChanged() {
    if (!timeFocused_)
        return;
    if (const std::optional<qint64> tenths = TenthsOf(EdtSampleTime->text()))
        EdtSamplePoint->setText(QString::number(*tenths));
    ParamChanged();
}

void TFrmMain::LockParamPanel() {
    for (QWidget* w : std::initializer_list<QWidget*>{
             cbSwitchType, cbTestMode, cbTestStep, cbSampleLength, cbChargeTime, cbSeriesType,
             EdtSampleBurst, EdtSamplePoint, EdtSampleTime, BtnTest})
        w->setEnabled(false);
}

void TFrmMain::UnlockParamPanel() {
    for (QWidget* w : std::initializer_list<QWidget*>{cbSwitchType, cbTestStep, cbSampleLength,
                                                      cbChargeTime, cbSeriesType, EdtSampleBurst,
                                                      EdtSamplePoint, EdtSampleTime, BtnTest})
        w->setEnabled(true);
    cbTestMode->setEnabled(cbSwitchType->currentIndex() == 1);
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event) {
    const bool point = watched == EdtSamplePoint;
    const bool time = watched == EdtSampleTime;
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const bool in = event->type() == QEvent::FocusIn;
        if (point)
            pointFocused_ = in;
        if (time)
            timeFocused_ = in;
    } else if (event->type() == QEvent::KeyPress && (point || time || watched == EdtSampleBurst)) {
        // Only digits, the point and backspace may be typed into the number boxes.
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!text.isEmpty() && text.at(0).isPrint() && !text.at(0).isDigit() && text != u".")
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmMain::ConnectHandlers() {
    // Digits and the point however the text comes (typed, pasted, dropped,
    // from an input method): anything else is refused whole. The key filter
    // drops a typed character alone.
    static const QRegularExpression kNumberText(QStringLiteral("[0-9.]*"));
    for (QLineEdit* box : {EdtSampleBurst, EdtSamplePoint, EdtSampleTime})
        box->setValidator(new QRegularExpressionValidator(kNumberText, box));
    connect(cbSwitchType, &QComboBox::currentIndexChanged, this, [this] { SwitchTypeChanged(); });
    for (QComboBox* box : {cbTestStep, cbTestMode, cbSampleLength, cbChargeTime, cbSeriesType})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { ParamChanged(); });
    connect(EdtSampleBurst, &QLineEdit::textChanged, this, [this] { SampleBurstChanged(); });
    connect(EdtSamplePoint, &QLineEdit::textChanged, this, [this] { SamplePointChanged(); });
    connect(EdtSampleTime, &QLineEdit::textChanged, this, [this] { SampleTimeChanged(); });

    connect(btnUpdateList, &QPushButton::clicked, this, [this] { btnUpdateListClick(); });
    connect(BtnTest, &QPushButton::clicked, this, [this] { BtnTestClick(); });
    connect(BtnSampleData, &QPushButton::clicked, this, [this] { BtnSampleDataClick(); });
    connect(BtnSetComm, &QPushButton::clicked, this, [this] { BtnSetCommClick(); });
    connect(BtnOpen, &QPushButton::clicked, this, [this] { BtnOpenClick(); });
    connect(BtnSave, &QPushButton::clicked, this, [this] { BtnSaveClick(); });
    connect(BtnColor, &QPushButton::clicked, this, [this] { BtnColorClick(); });
    connect(BtnPrint, &QPushButton::clicked, this, [this] { BtnPrintClick(); });
    connect(BtnExport, &QPushButton::clicked, this, [this] { BtnExportClick(); });
    connect(BtnExit, &QPushButton::clicked, this, &QWidget::close);
    connect(cbInverted, &QCheckBox::clicked, this, [this] { InvertedClick(); });

    connect(ChartA, &TWaveChart::ChartMouseDown, this, &TFrmMain::ChartAMouseDown);
    connect(ChartA, &TWaveChart::ChartMouseUp, this, &TFrmMain::ChartAMouseUp);
    connect(ChartA, &TWaveChart::ChartMouseMove, this, &TFrmMain::ChartAMouseMove);
    connect(ChartA, &TWaveChart::Zoomed, this, &TFrmMain::RelayRuler);
    connect(ChartA, &TWaveChart::Unzoomed, this, &TFrmMain::RelayRuler);
    for (QToolButton* button : {SBat, sbbt, sbct})
        connect(button, &QToolButton::clicked, this, [this, button] { PhaseButtonClick(button); });
    connect(RGT, &QButtonGroup::idClicked, this, [this] { PostKey(Qt::Key_Escape); });
}
