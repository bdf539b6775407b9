#include "GridCells.h"
#include "Requests.h"
#include "Responses.h"
#include "SimEngine.h"
#include "SimTester.h"
#include "UDlgCharge.h"

#include <QLabel>
#include <QTableWidget>

namespace {

QStringList Column(const TFrmCharge& dialog, int column) {
    QStringList out;
    for (int row = 1; row <= 4; ++row)
        out << GridText(*dialog.SGData, row, column);
    return out;
}

TEST(ChargeValues, ResistanceAndChangeRate) {
    const struct {
        qint32 mv, ma, previous;
        QStringList texts;
    } cases[] = {
        {10000, 100, 0, {"10.00 V", "0.10 A", "100.00 Ω", "0.00 %"}},
        // 1000 / 101000 x 100 = 0.990..: relative to the new value
        {10100, 100, 100000, {"10.10 V", "0.10 A", "101.00 Ω", "0.99 %"}},
        {10000, 101, 101000, {"10.00 V", "0.10 A", "99.01 Ω", "2.01 %"}},
        {5000, 0, 0, {"5.00 V", "0.00 A", "0.00 Ω", "0.00 %"}},
        {5000, 0, 100000, {"5.00 V", "0.00 A", "0.00 Ω", "-- %"}}, // no rate exists
    };
    for (const auto& c : cases) {
        PhaseReading reading;
        reading.resistance = c.previous;
        TakeReading(reading, c.mv, c.ma);
        EXPECT_EQ(ReadingTexts(reading), c.texts) << c.mv << "/" << c.ma;
    }
    // Exact halves go to the even neighbour, also where the quotient has no
    // exact binary form (2012.5 and 4037.5 mOhm).
    for (const auto& [mv, ma, mohm] :
         {std::tuple{1, 2000, 0}, std::tuple{3, 2000, 2}, std::tuple{161, 80, 2012},
          std::tuple{323, 80, 4038}, std::tuple{65535, 65535, 1000}, std::tuple{65535, 1, 65535000},
          std::tuple{2, 3, 667}, std::tuple{1, 3, 333}})
        EXPECT_EQ(ResistanceOf(mv, ma), mohm) << mv << "/" << ma;
}

TEST(ChargeDialog, ColumnsOfTheModeAndTimedCharge) {
    const struct {
        int type, mode;
        bool b, c;
    } cases[] = {{0, 0, true, true}, {1, 0, false, true}, {1, 1, true, false}};
    for (const auto& t : cases) {
        TestParams params;
        params.iSwitchType = quint8(t.type);
        params.iTestMode = quint8(t.mode);
        TestRecord record;
        record.params = params;
        Tester link;
        LiveTest live(link, record, WindowPace(), WindowRules(), LiveStep::ChargeStatus);
        TFrmCharge dialog(live);
        // Phase A 27 10 00 64: 10000 mV, 100 mA; B and C 20000 mV, 100 mA.
        dialog.ShowStatus(*DecodeChargeStatus(QByteArray::fromHex("f6271000644e2000644e20006400")));
        const QStringList other = {"20.00 V", "0.10 A", "200.00 Ω", "0.00 %"}, empty(4);
        EXPECT_EQ(Column(dialog, 1), QStringList({"10.00 V", "0.10 A", "100.00 Ω", "0.00 %"}));
        EXPECT_EQ(Column(dialog, 2), t.b ? other : empty) << t.type << t.mode;
        EXPECT_EQ(Column(dialog, 3), t.c ? other : empty) << t.type << t.mode;
    }

    TestRecord record;
    Tester link;
    LiveTest live(link, record, WindowPace(), WindowRules(), LiveStep::ChargeStatus);
    TFrmCharge dialog(live);
    dialog.SetChargeTime(2);
    dialog.show();
    for (int second = 1; second <= 10; ++second) {
        EXPECT_TRUE(dialog.isVisible()) << second;
        dialog.TimerWaitTimer();
        EXPECT_EQ(dialog.lblStrtip->text(), QString("已充电%1 S...").arg(second));
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(ChargeDialog, PollsTheTester) {
    SimTester tester;
    QByteArray response(kRequestBufferSize, '\0');
    ASSERT_TRUE(tester.Link().Transact(StartChargeRequest(), response));
    // A second tester of the same make tells what the two polls carry.
    SimEngine twin(tester.Config());
    const auto poll = [&] {
        return *DecodeChargeStatus(twin.Respond(ChargeStatusRequest().SerialFrame(), false));
    };
    twin.Respond(StartChargeRequest().SerialFrame(), false);
    const ChargeStatus first = poll(), second = poll();

    TestRecord record;
    LiveTest live(tester.Link(), record, WindowPace(), WindowRules(), LiveStep::ChargeStatus);
    TFrmCharge dialog(live);
    EXPECT_EQ(dialog.Timer1->interval(), 1000);
    dialog.Timer1->stop();
    dialog.Timer1Timer();
    dialog.Timer1Timer();
    EXPECT_TRUE(dialog.Timer1->isActive());
    EXPECT_EQ(tester.Requests(8).mid(1),
              QStringList({"F6 00 00 00 00 00 00 00", "F6 00 00 00 00 00 00 00"}));
    for (int phase = 0; phase < 3; ++phase) {
        const PhaseReading& reading = dialog.Reading(phase);
        EXPECT_EQ(reading.voltage, second.millivolts[phase]) << phase;
        EXPECT_EQ(reading.current, second.milliamps[phase]) << phase;
        EXPECT_EQ(reading.previous, ResistanceOf(first.millivolts[phase], first.milliamps[phase]));
        EXPECT_EQ(Column(dialog, phase + 1), ReadingTexts(reading)) << phase;
    }
    EXPECT_TRUE(tester.messages.isEmpty());
}

TEST(ChargeDialog, FailedPollStopsPolling) {
    SimTester tester(WithFault("F6:noanswer"));
    TestRecord record;
    LiveTest live(tester.Link(), record, WindowPace(), WindowRules(), LiveStep::ChargeStatus);
    TFrmCharge dialog(live);
    dialog.SetChargeTime(1);
    dialog.Timer1Timer();
    EXPECT_EQ(tester.messages, QStringList{"通讯失败！"});
    EXPECT_EQ(tester.icons, QList{MsgIcon::Error});
    EXPECT_FALSE(dialog.Timer1->isActive());
    EXPECT_EQ(tester.Requests(1), QStringList({"F6", "F6", "F6", "F6"}));
    EXPECT_TRUE(dialog.TimerWait->isActive()); // a timed charge still ends by itself
}

} // namespace
