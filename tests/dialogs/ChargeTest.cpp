#include "ChargeValues.h"
#include "GridCells.h"
#include "Requests.h"
#include "Responses.h"
#include "SimEngine.h"
#include "SimTester.h"
#include "UCommUnit.h"
#include "UDlgCharge.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace {

using ChargeDialog = DialogTest;

QStringList Column(const TFrmCharge& dialog, int column) {
    QStringList out;
    for (int row = 1; row <= 4; ++row)
        out << GridText(*dialog.SGData, row, column);
    return out;
}

ChargeStatus StatusOf(const char* hex) {
    QByteArray bytes = QByteArray::fromHex(hex);
    bytes.resize(14, '\0');
    return *DecodeChargeStatus(bytes);
}

TEST(ChargeValues, ResistanceAndChangeRate) {
    const struct {
        qint32 mv, ma, previous;
        QStringList texts;
    } cases[] = {
        {10000, 100, 0, {"10.00 V", "0.10 A", "100.00 Ω", "0.00 %"}},
        // 1000 / 101000 x 100 = 0.990..., relative to the new value
        {10100, 100, 100000, {"10.10 V", "0.10 A", "101.00 Ω", "0.99 %"}},
        {10000, 101, 101000, {"10.00 V", "0.10 A", "99.01 Ω", "2.01 %"}},
        {5000, 0, 0, {"5.00 V", "0.00 A", "0.00 Ω", "0.00 %"}},
        // No current after a real resistance: there is no rate.
        {5000, 0, 100000, {"5.00 V", "0.00 A", "0.00 Ω", "-- %"}},
        {65530, 1, 0, {"65.53 V", "0.00 A", "65530.00 Ω", "0.00 %"}},
    };
    for (const auto& c : cases) {
        PhaseReading reading;
        reading.resistance = c.previous;
        TakeReading(reading, c.mv, c.ma);
        EXPECT_EQ(reading.previous, c.previous);
        EXPECT_EQ(ReadingTexts(reading), c.texts) << c.mv << "/" << c.ma;
    }
    // Halves go to the even neighbour: 1 mV / 2000 mA = 0.5 mOhm, 3 / 2000 = 1.5.
    EXPECT_EQ(ResistanceOf(1, 2000), 0);
    EXPECT_EQ(ResistanceOf(3, 2000), 2);
    EXPECT_EQ(ResistanceOf(5, 2000), 2);
    EXPECT_EQ(ResistanceOf(2, 3), 667);
}

TEST_F(ChargeDialog, ShowsThePhasesOfTheSwitchTypeAndMode) {
    const struct {
        int type, mode;
        bool b, c;
    } cases[] = {{0, 0, true, true}, {1, 0, false, true}, {1, 1, true, false}};
    for (const auto& t : cases) {
        TestParams params;
        params.iSwitchType = quint8(t.type);
        params.iTestMode = quint8(t.mode);
        TFrmCharge dialog(params);
        dialog.Timer1->stop();
        EXPECT_EQ(dialog.windowTitle(), QString("充电进行中..."));
        EXPECT_EQ(dialog.SGData->columnWidth(0), 80);
        EXPECT_EQ(GridText(*dialog.SGData, 0, 3), QString("C"));
        EXPECT_EQ(GridText(*dialog.SGData, 4, 0), QString("电阻变化率"));
        // A: 27 10 00 64 is 10000 mV and 100 mA; B and C 20000 mV at 100 mA.
        dialog.ShowStatus(StatusOf("f627100064"
                                   "4e200064"
                                   "4e200064"));
        const QStringList a = {"10.00 V", "0.10 A", "100.00 Ω", "0.00 %"};
        const QStringList other = {"20.00 V", "0.10 A", "200.00 Ω", "0.00 %"};
        const QStringList empty = {"", "", "", ""};
        EXPECT_EQ(Column(dialog, 1), a);
        EXPECT_EQ(Column(dialog, 2), t.b ? other : empty) << t.type << t.mode;
        EXPECT_EQ(Column(dialog, 3), t.c ? other : empty) << t.type << t.mode;
        // The next poll's rate is taken against this one.
        dialog.ShowStatus(StatusOf("f62774006400"));
        EXPECT_EQ(GridText(*dialog.SGData, 4, 1), QString("0.99 %"));
        EXPECT_EQ(GridText(*dialog.SGData, 3, 1), QString("101.00 Ω"));
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(ChargeDialog, TimedChargeClosesWithOkAtTheLimit) {
    TFrmCharge manual{TestParams{}};
    manual.SetChargeTime(0);
    EXPECT_FALSE(manual.TimerWait->isActive());
    EXPECT_TRUE(manual.lblStrtip->text().isEmpty());

    TFrmCharge dialog{TestParams{}};
    dialog.Timer1->stop();
    EXPECT_TRUE(dialog.BtnOk->isDefault());
    EXPECT_EQ(dialog.BtnOk->text(), QString("开始测试"));
    dialog.SetChargeTime(2);
    EXPECT_TRUE(dialog.TimerWait->isActive());
    EXPECT_EQ(dialog.TimerWait->interval(), 1000);
    dialog.show();
    for (int second = 1; second <= 9; ++second) {
        dialog.TimerWaitTimer();
        EXPECT_EQ(dialog.lblStrtip->text(), QString("已充电%1 S...").arg(second));
        EXPECT_TRUE(dialog.isVisible()) << second;
    }
    dialog.TimerWaitTimer();
    EXPECT_EQ(dialog.lblStrtip->text(), QString("已充电10 S..."));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(ChargeDialog, EscapeDoesNotCancel) {
    TFrmCharge dialog{TestParams{}};
    dialog.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&dialog, &escape);
    EXPECT_TRUE(dialog.isVisible());
    dialog.BtnClose->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(ChargeDialog, PollsTheTester) {
    SimTester tester;
    ASSERT_TRUE(tester.Started());
    QByteArray response(kRequestBufferSize, '\0');
    ASSERT_TRUE(Transact(StartChargeRequest(), response));
    // The same tester on the side tells what the two polls must show.
    SimEngine twin(tester.Config());
    twin.Respond(StartChargeRequest().SerialFrame(), false);
    const auto first =
        *DecodeChargeStatus(twin.Respond(ChargeStatusRequest().SerialFrame(), false));
    const auto second =
        *DecodeChargeStatus(twin.Respond(ChargeStatusRequest().SerialFrame(), false));

    TFrmCharge dialog{TestParams{}};
    EXPECT_TRUE(dialog.Timer1->isActive());
    EXPECT_EQ(dialog.Timer1->interval(), 1000);
    dialog.Timer1->stop();
    dialog.Timer1Timer();
    dialog.Timer1Timer();
    EXPECT_TRUE(dialog.Timer1->isActive());
    EXPECT_EQ(tester.Requests(8), QStringList({"F5 00 00 00 00 00 00 00", "F6 00 00 00 00 00 00 00",
                                               "F6 00 00 00 00 00 00 00"}));
    for (int phase = 0; phase < 3; ++phase) {
        const PhaseReading& reading = dialog.Reading(phase);
        EXPECT_EQ(reading.voltage, second.millivolts[phase]) << phase;
        EXPECT_EQ(reading.current, second.milliamps[phase]) << phase;
        EXPECT_EQ(reading.previous, ResistanceOf(first.millivolts[phase], first.milliamps[phase]));
        EXPECT_EQ(Column(dialog, phase + 1), ReadingTexts(reading)) << phase;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(ChargeDialog, FailedPollStopsPolling) {
    SimConfig config;
    config.faults << *ParseFault("F6:noanswer");
    SimTester tester(config);
    ASSERT_TRUE(tester.Started());
    TFrmCharge dialog{TestParams{}};
    dialog.Timer1->stop();
    dialog.SetChargeTime(1);
    dialog.Timer1Timer();
    EXPECT_EQ(Messages(), QStringList{"通讯失败！"});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].second, MsgIcon::Error);
    EXPECT_FALSE(dialog.Timer1->isActive());
    EXPECT_EQ(tester.Requests(1), QStringList({"F6", "F6", "F6", "F6"}));
    EXPECT_EQ(Column(dialog, 1), QStringList({"", "", "", ""}));
    // A timed charge still ends by itself.
    EXPECT_TRUE(dialog.TimerWait->isActive());
}

} // namespace
