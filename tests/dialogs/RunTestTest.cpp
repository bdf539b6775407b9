#include "RunTest.h"
#include "LiveTest.h"
#include "SimTester.h"
#include "SimWaveform.h"
#include "TestRecord.h"
#include "UDlgCharge.h"
#include "UDlgSampleData.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>

namespace {

// Waveforms and rotation unlike anything the tester sends.
TestRecord OldRecord() {
    TestRecord record;
    for (int phase = 1; phase <= 3; ++phase)
        record.WaveOf(phase).fill(7 * phase);
    record.iAngle = 99;
    record.strTestTime.SetText("2001-01-01 01:01:01");
    return record;
}

bool SameAsSim(const TestRecord& record, int phase) {
    const auto wave = SimWaveform(1, phase, 0);
    return std::equal(wave.begin(), wave.end(), record.WaveOf(phase).begin());
}

void Charge(bool start) {
    OnModal<TFrmCharge>([start](TFrmCharge& d) { (start ? d.BtnOk : d.BtnClose)->click(); });
}

TEST(LiveTest, TriggerOnTheThirdPollThenFourBlocks) {
    SimTester tester;
    TestRecord record = OldRecord();
    int calls = 0;
    bool dataBefore = true;
    QStringList tips;
    QTimer watch; // the dialog's text line while it runs
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* dialog = FindWindow<TFrmSampleData>();
            dialog && !tips.contains(dialog->lblTip->text()))
            tips << dialog->lblTip->text();
    });
    watch.start(5);
    Charge(true);
    LiveTest live(tester.Link(), record, WindowPace(), WindowRules(), LiveStep::ChargeStatus);
    RunTest(nullptr, live, [&] {
        ++calls;
        dataBefore = record.HasData;
    });

    EXPECT_EQ(tester.Requests(), QStringList({"F7 00", "F8 00", "F8 00", "F8 00", "FA 01", "FA 02",
                                              "FA 03", "FA 04"}));
    const QList<LoggedRequest> log = tester.Log();
    ASSERT_EQ(log.size(), 8);
    const qint64 untilUpload = log[4].atMs - log[0].atMs; // polls 3 s apart
    EXPECT_GE(untilUpload, 9000);
    EXPECT_LE(untilUpload, 11000);
    EXPECT_TRUE(tester.messages.isEmpty());
    for (int phase = 1; phase <= 3; ++phase)
        EXPECT_TRUE(SameAsSim(record, phase)) << phase;
    EXPECT_EQ(record.iLoops * 360 + record.iAngle, SimRotation(1, 0));
    const auto stamp = QDateTime::fromString(record.strTestTime.Text(), "yyyy-MM-dd HH:mm:ss");
    EXPECT_LE(std::abs(stamp.secsTo(QDateTime::currentDateTime())), 3);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(dataBefore); // marked only once the main window has shown it
    EXPECT_TRUE(record.HasData);
    EXPECT_EQ(tips, QStringList({"采样进行中，等待动作分接开关...", "正在上传A相数据，请稍候....",
                                 "正在上传B相数据，请稍候....", "正在上传C相数据，请稍候...."}));
    EXPECT_EQ(FindWindow<TFrmSampleData>(), nullptr);
}

TEST(LiveTest, EndsWithoutData) {
    struct Case {
        const char* name;
        SimConfig config;
        QByteArray cutAfter;
        int cancelAtMs; // cancel the trigger wait; 0 never, -1 the charge
        QStringList requests, messages;
        bool phaseA;
        int rounds = kSampleWaitRounds;
    };
    const Case cases[] = {
        {"charge cancelled", {}, {}, -1, {}, {}, false},
        {"cancel while waiting", {}, {}, 400, {"F7 00", "F9 00"}, {}, false},
        // An arming answer other than ACK is not reported; the rounds run out.
        {"arming refused", WithFault("F7:nak"), {}, 0, {"F7 00"}, {}, false, 30},
        {"arming failed",
         WithFault("F7:noanswer"),
         {},
         0,
         QStringList(4, "F7 00"),
         {"通讯失败！"},
         false},
        {"block 2 failed",
         WithFault(nullptr, 1),
         QByteArray::fromHex("fa01"),
         0,
         {"F7 00", "F8 00", "FA 01"},
         {"通讯失败！"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimTester tester(c.config, c.cutAfter);
        TestRecord record = OldRecord();
        const TestRecord before = record;
        int calls = 0;
        QElapsedTimer sinceCancel;
        Charge(c.cancelAtMs >= 0);
        if (c.cancelAtMs > 0)
            QTimer::singleShot(c.cancelAtMs, [&] {
                sinceCancel.start();
                if (auto* dialog = FindWindow<TFrmSampleData>())
                    dialog->BtnCancel->click();
                else
                    ADD_FAILURE() << "no trigger wait to cancel";
            });
        LiveTest live(tester.Link(), record, WindowPace(), WindowRules(), LiveStep::ChargeStatus);
        RunTest(
            nullptr, live, [&] { ++calls; }, c.rounds);
        if (c.cancelAtMs > 0) {
            EXPECT_LT(sinceCancel.elapsed(), 500); // the stop exchange and one round
        }
        EXPECT_EQ(tester.Requests(), c.requests);
        EXPECT_EQ(tester.messages, c.messages);
        EXPECT_EQ(SameAsSim(record, 1), c.phaseA);
        EXPECT_EQ(record.WaveB, before.WaveB);
        EXPECT_EQ(record.strTestTime, before.strTestTime);
        EXPECT_FALSE(record.HasData);
        EXPECT_EQ(calls, 0);
        FlushDeletes();
        EXPECT_EQ(FindWindow<TFrmSampleData>(), nullptr);
    }
}

} // namespace
