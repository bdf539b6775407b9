#include "RunTest.h"
#include "Helpers.h"
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

using LiveTest = DialogTest;

// A record whose waveforms and rotation differ from anything the tester sends.
TestRecord OldRecord() {
    TestRecord record;
    for (int phase = 1; phase <= 3; ++phase)
        record.WaveOf(phase).fill(7 * phase);
    record.iLoops = 9;
    record.iAngle = 99;
    record.strTestTime.SetText("2001-01-01 01:01:01");
    record.params.iChargeTime = 0;
    return record;
}

bool SameAsSim(const TestRecord& record, int phase) {
    const auto wave = SimWaveform(1, phase, 0);
    for (int n = 1; n <= kSampleCount; ++n)
        if (record.SampleAt(phase, n) != wave[n - 1])
            return false;
    return true;
}

void PressStart() {
    OnModal<TFrmCharge>([](TFrmCharge& dialog) { dialog.BtnOk->click(); });
}

TEST_F(LiveTest, TriggerOnTheThirdPollThenFourBlocks) {
    SimConfig config;
    config.pollsBeforeReady = 3;
    SimTester tester(config);
    ASSERT_TRUE(tester.Started());
    TestRecord record = OldRecord();
    struct Seen {
        int calls = 0;
        bool hadData = true;
        QString time;
        QStringList tips;
    } seen;
    PressStart();
    // Follow the dialog's text line while it runs.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* dialog = FindWindow<TFrmSampleData>())
            if (seen.tips.isEmpty() || seen.tips.last() != dialog->lblTip->text())
                seen.tips << dialog->lblTip->text();
    });
    watch.start(5);
    RunTest(nullptr, record, [&] {
        ++seen.calls;
        seen.hadData = record.HasData;
        seen.time = record.strTestTime.Text();
    });
    watch.stop();

    const QList<LoggedRequest> log = tester.Log();
    EXPECT_EQ(tester.Requests(), QStringList({"F7 00", "F8 00", "F8 00", "F8 00", "FA 01", "FA 02",
                                              "FA 03", "FA 04"}));
    ASSERT_EQ(log.size(), 8);
    // Polls 3 s apart: the upload starts about 9 s after arming.
    const qint64 untilUpload = log[4].atMs - log[0].atMs;
    EXPECT_GE(untilUpload, 8900);
    EXPECT_LE(untilUpload, 10500);
    EXPECT_TRUE(messages.empty()) << Messages().join(",").toStdString();

    for (int phase = 1; phase <= 3; ++phase)
        EXPECT_TRUE(SameAsSim(record, phase)) << phase;
    const int rotation = SimRotation(1, 0);
    EXPECT_EQ(record.iLoops, rotation / 360);
    EXPECT_EQ(record.iAngle, rotation % 360);
    const QDateTime stamp = QDateTime::fromString(seen.time, "yyyy-MM-dd HH:mm:ss");
    ASSERT_TRUE(stamp.isValid()) << seen.time.toStdString();
    EXPECT_LE(std::abs(stamp.secsTo(QDateTime::currentDateTime())), 3);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_FALSE(seen.hadData); // marked only after the main window has shown it
    EXPECT_TRUE(record.HasData);
    EXPECT_TRUE(seen.tips.contains("采样进行中，等待动作分接开关..."));
    for (const char* phase : {"A", "B", "C"})
        EXPECT_TRUE(seen.tips.contains(QString("正在上传%1相数据，请稍候....").arg(phase)))
            << phase;
    EXPECT_EQ(FindWindow<TFrmSampleData>(), nullptr);
}

TEST_F(LiveTest, CancelWhileWaiting) {
    SimTester tester;
    ASSERT_TRUE(tester.Started());
    TestRecord record = OldRecord();
    const TestRecord before = record;
    int calls = 0;
    QElapsedTimer sinceCancel;
    PressStart();
    QTimer::singleShot(400, [&] {
        TFrmSampleData* dialog = FindWindow<TFrmSampleData>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->ReadState(), -1);
        EXPECT_TRUE(dialog->TimerWartforValid->isActive());
        sinceCancel.start();
        dialog->BtnCancel->click();
    });
    RunTest(nullptr, record, [&] { ++calls; });
    // The stop exchange, then at most one round.
    EXPECT_LT(sinceCancel.elapsed(), 600);
    EXPECT_EQ(tester.Requests(), QStringList({"F7 00", "F9 00"}));
    EXPECT_TRUE(record == before);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(FindWindow<TFrmSampleData>(), nullptr);
}

TEST_F(LiveTest, FailureOfBlockTwoKeepsPhaseA) {
    SimConfig config;
    config.pollsBeforeReady = 1;
    SimTester tester(config, QByteArray::fromHex("fa01"));
    ASSERT_TRUE(tester.Started());
    TestRecord record = OldRecord();
    const TestRecord before = record;
    int calls = 0;
    PressStart();
    RunTest(nullptr, record, [&] { ++calls; });
    EXPECT_EQ(tester.Requests(), QStringList({"F7 00", "F8 00", "FA 01"}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, QString("通讯失败！"));
    EXPECT_EQ(messages[0].second, MsgIcon::Error);
    EXPECT_TRUE(SameAsSim(record, 1));
    EXPECT_EQ(record.WaveB, before.WaveB);
    EXPECT_EQ(record.WaveC, before.WaveC);
    EXPECT_EQ(record.iLoops, before.iLoops);
    EXPECT_EQ(record.strTestTime, before.strTestTime);
    EXPECT_FALSE(record.HasData);
    EXPECT_EQ(calls, 0);
}

TEST_F(LiveTest, EndsWithoutData) {
    struct Case {
        const char* name;
        const char* fault; // of the tester, or none
        bool cancelCharge;
        QStringList requests;
        QStringList messages;
    };
    const Case cases[] = {
        {"charge cancelled: nothing sent", nullptr, true, {}, {}},
        // An arming answer other than ACK is not reported; the rounds run out.
        {"arming refused", "F7:nak", false, {"F7 00"}, {}},
        {"arming failed",
         "F7:noanswer",
         false,
         {"F7 00", "F7 00", "F7 00", "F7 00"},
         {"通讯失败！"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        SimConfig config;
        if (c.fault)
            config.faults << *ParseFault(c.fault);
        SimTester tester(config);
        ASSERT_TRUE(tester.Started());
        TestRecord record = OldRecord();
        const TestRecord before = record;
        OnModal<TFrmCharge>([&](TFrmCharge& dialog) {
            (c.cancelCharge ? dialog.BtnClose : dialog.BtnOk)->click();
        });
        QElapsedTimer clock;
        clock.start();
        RunTest(nullptr, record, {}, 30);
        EXPECT_LT(clock.elapsed(), 2500);
        EXPECT_EQ(tester.Requests(), c.requests);
        EXPECT_EQ(Messages(), c.messages);
        EXPECT_TRUE(record == before);
        FlushDeletes();
        EXPECT_EQ(FindWindow<TFrmSampleData>(), nullptr);
    }
}

} // namespace
