// The road of a live test through the program's own windows against the
// simulated tester, checking what the program shows and what went over the wire.
#include "Application.h"
#include "Archive.h"
#include "Dialogs.h"
#include "GridCells.h"
#include "Message.h"
#include "PortNames.h"
#include "Screenshot.h"
#include "Scripted.h"
#include "SerialFront.h"
#include "SiBridge.h"
#include "SimWaveform.h"
#include "TestFile.h"
#include "UDataCenter.h"
#include "UDlgCharge.h"
#include "UDlgHistoryIndex.h"
#include "UDlgSampleData.h"
#include "UMain.h"
#include "WaveChart.h"

#include <QComboBox>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr int kFast = 12; // 115200 bit/s

class LiveRoad : public testing::Test {
protected:
    void SetUp() override {
        UDataCenter() = DataCenter{};
        savedSink_ = SetMessageSink([this](const QString& text, MsgIcon) { messages << text; });
        SetPortsFolder(folder.filePath("ports"));
        window = std::make_unique<TFrmMain>(folder.path());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        SystemSettings& s = UDataCenter().settings;
        s.giCommStyle = 1;
        s.giCommPort = 1;
        s.giBaudRate = kFast;
    }
    void TearDown() override {
        window.reset();
        if (front)
            front->Stop();
        SetPortsFolder({});
        SetMessageSink(savedSink_);
        UDataCenter() = DataCenter{};
    }

    void StartTester(QStringList faults = {}, int polls = 3) {
        SimConfig config;
        config.baudIndex = kFast;
        config.pollsBeforeReady = polls;
        config.seed = 5;
        for (const QString& f : faults)
            config.faults << *ParseFault(f);
        front = std::make_unique<SerialFront>(config);
        ASSERT_TRUE(front->Start(folder.path(), 1));
    }

    // Connects and sets the charge time; the wire log starts after that.
    void ConnectWithChargeTime(int chargeIndex) {
        window->btnUpdateList->click();
        ASSERT_TRUE(window->Link().State().Connected);
        window->cbChargeTime->setCurrentIndex(chargeIndex);
        front->ClearRequests();
        messages.clear();
    }

    // The command bytes that went over the wire, in order.
    QString Commands() const {
        QStringList commands;
        for (const LoggedRequest& r : front->Requests())
            commands << r.HexText().left(2);
        return commands.join(u' ');
    }

    void ExpectCaptureShown() {
        const TestRecord& r = UDataCenter().record;
        EXPECT_TRUE(r.HasData);
        for (int p : {kPhaseA, kPhaseB, kPhaseC}) {
            const auto expected = SimWaveform(5, p, 0);
            EXPECT_EQ(r.SampleAt(p, 1), expected[0]) << p;
            EXPECT_EQ(r.SampleAt(p, 2688), expected[2687]) << p;
        }
        EXPECT_EQ(r.strTestTime.Bytes().size(), 19);
        EXPECT_EQ(window->MemoTime->toPlainText(), r.strTestTime.Text());
        EXPECT_FALSE(window->ResultBoxes[0]->text().isEmpty());
        EXPECT_EQ(window->ChartA->Series(0)->data()->size(), 2688);
        EXPECT_EQ(window->ChartA->MarkerIndex(1), 100);
        EXPECT_FALSE(window->BtnTest->isEnabled()) << "locked until a new test";
    }

    QTemporaryDir folder;
    std::unique_ptr<SerialFront> front;
    std::unique_ptr<TFrmMain> window;
    QStringList messages;

private:
    MessageSink savedSink_;
};

} // namespace

TEST_F(LiveRoad, TimedChargeAndATriggerOnTheThirdPoll) {
    StartTester();
    ConnectWithChargeTime(1); // 5 s
    Scripted script;
    QStringList seen;
    // The charging values arrive once a second; the picture is taken after the second.
    script.Then(
        [] {
            auto* charge = Scripted::Find<TFrmCharge>();
            return charge && charge->lblStrtip->text().contains(u'2');
        },
        [] {
            auto* charge = Scripted::Find<TFrmCharge>();
            EXPECT_TRUE(GridText(*charge->SGData, 1, 1).endsWith(u" V"));
            KeepScreenshot(charge, "charging.png");
        });
    script.Then([] { return Scripted::Find<TFrmSampleData>() != nullptr; },
                [&] {
                    seen << Scripted::Find<TFrmSampleData>()->lblTip->text();
                    KeepScreenshot(Scripted::Find<TFrmSampleData>(), "trigger-wait.png");
                });
    window->BtnTest->click();
    KeepScreenshot(window.get(), "main-live.png");
    EXPECT_TRUE(script.Done());
    ExpectCaptureShown();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    EXPECT_EQ(seen, QStringList{QStringLiteral("采样进行中，等待动作分接开关...")});
    const QString commands = Commands();
    EXPECT_TRUE(commands.startsWith(u"F4 F5 F6 F6 F6 F6")) << commands.toStdString();
    EXPECT_TRUE(commands.endsWith(u"F6 F7 F8 F8 F8 FA FA FA FA F9")) << commands.toStdString();
    const auto requests = front->Requests();
    EXPECT_EQ(requests[requests.size() - 5].HexText(), u"FA 01 00 00 00 00 00 00");
    EXPECT_EQ(requests[requests.size() - 2].HexText(), u"FA 04 00 00 00 00 00 00");
    // Kept without a word, as it arrived.
    ASSERT_TRUE(window->TestArchive());
    const QList<ArchivedTest> kept = window->TestArchive()->List({});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0].source, u"live");
    EXPECT_EQ(window->TestArchive()->Bytes(kept[0].id), EncodeTestFile(UDataCenter().record));
}

TEST_F(LiveRoad, ManualChargeEndedByTheOperator) {
    StartTester({}, 1);
    ConnectWithChargeTime(0);
    Scripted script;
    script.Then([] { return Scripted::Find<TFrmCharge>() != nullptr; },
                [] { Scripted::Find<TFrmCharge>()->BtnOk->click(); });
    window->BtnTest->click();
    ExpectCaptureShown();
    EXPECT_EQ(Commands().left(8), u"F4 F5 F7") << Commands().toStdString();
}

TEST_F(LiveRoad, CancelledChargingStillStopsTheTester) {
    StartTester();
    ConnectWithChargeTime(0);
    Scripted script;
    script.Then([] { return Scripted::Find<TFrmCharge>() != nullptr; },
                [] { Scripted::Find<TFrmCharge>()->BtnClose->click(); });
    window->BtnTest->click();
    EXPECT_EQ(Commands(), u"F4 F5 F9");
    EXPECT_FALSE(UDataCenter().record.HasData);
    EXPECT_FALSE(window->cbSwitchType->isEnabled()) << "the panel stays locked";
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(LiveRoad, CancelWhileWaitingForTheTapChanger) {
    StartTester({}, 50);
    ConnectWithChargeTime(0);
    Scripted script;
    script.Then([] { return Scripted::Find<TFrmCharge>() != nullptr; },
                [] { Scripted::Find<TFrmCharge>()->BtnOk->click(); });
    script.Then([] { return Scripted::Find<TFrmSampleData>() != nullptr; },
                [] { Scripted::Find<TFrmSampleData>()->BtnCancel->click(); });
    window->BtnTest->click();
    EXPECT_EQ(Commands(), u"F4 F5 F7 F9 F9") << "the wait's stop, then the test's";
    EXPECT_FALSE(UDataCenter().record.HasData);
    EXPECT_EQ(UDataCenter().record.SampleAt(kPhaseA, 100), 0);
}

TEST_F(LiveRoad, RefusalsAndFailuresEndTheRoadAsTheyShould) {
    struct Case {
        QStringList faults;
        const char* message;
        const char* commands;
        bool locked;
    };
    const Case cases[] = {
        {{"F4:nak"}, "发送参数失败！", "F4", false},
        {{"F5:nak"}, "开始充电失败！", "F4 F5 F9", true},
        // the start may have reached the tester: stopped all the same
        {{"F5:noanswer"}, "通讯失败！", "F4 F5 F5 F5 F5 F9", true},
        // and a stop that fails after it adds no second message
        {{"F5:cut", "F9:noanswer"}, "通讯失败！", "F4 F5 F5 F5 F5 F9 F9 F9 F9", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        StartTester(c.faults);
        ConnectWithChargeTime(0);
        window->BtnTest->click();
        EXPECT_EQ(messages, QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(Commands(), QLatin1String(c.commands));
        EXPECT_EQ(!window->cbSwitchType->isEnabled(), c.locked);
        front->Stop();
        window->btnUpdateList->setText(QStringLiteral("连接设备"));
    }
}

TEST_F(LiveRoad, ABlockThatFailsKeepsWhatCameBefore) {
    StartTester({}, 1);
    ConnectWithChargeTime(0);
    TestRecord& record = UDataCenter().record;
    record.WaveB.fill(7);
    const qint32 firstOfA = SimWaveform(5, kPhaseA, 0)[0];
    Scripted script;
    script.Then([] { return Scripted::Find<TFrmCharge>() != nullptr; },
                [] { Scripted::Find<TFrmCharge>()->BtnOk->click(); });
    // The cable goes as soon as phase A is in.
    script.Then([&] { return record.SampleAt(kPhaseA, 1) == firstOfA; }, [&] { front->Stop(); });
    window->BtnTest->click();
    // Block 2 fails, and so does the stop after it.
    EXPECT_EQ(messages, (QStringList{QStringLiteral("通讯失败！"), QStringLiteral("通讯失败！")}));
    EXPECT_EQ(record.SampleAt(kPhaseA, 2688), SimWaveform(5, kPhaseA, 0)[2687]);
    EXPECT_EQ(record.SampleAt(kPhaseB, 1), 7) << "phase B keeps its previous contents";
    EXPECT_FALSE(record.HasData);
    EXPECT_TRUE(window->ChartA->Series(0)->data()->isEmpty()) << "not redrawn";
    EXPECT_TRUE(record.strTestTime.IsEmpty());
}

TEST_F(LiveRoad, AStoredTestUploadedFromTheHistory) {
    StartTester();
    window->btnUpdateList->click();
    front->ClearRequests();
    Scripted script;
    script.Then([] { return Scripted::Find<TFrmHistoryIndex>() != nullptr; },
                [] {
                    auto* history = Scripted::Find<TFrmHistoryIndex>();
                    EXPECT_EQ(history->SGHistoryIndex->rowCount(), 5)
                        << "header, three entries, an empty row";
                    KeepScreenshot(history, "history.png");
                    history->SGHistoryIndexSelectCell(1, 2);
                    history->SGHistoryIndexDblClick(2);
                    history->close();
                });
    window->BtnSampleData->click();
    EXPECT_EQ(Commands(), u"F1 F2 F2 F2 F3 F3 F3 F3");
    const TestRecord& r = UDataCenter().record;
    EXPECT_TRUE(r.HasData);
    EXPECT_EQ(r.SampleAt(kPhaseC, 1), SimWaveform(5, kPhaseC, 2)[0]);
    EXPECT_FALSE(window->cbSwitchType->isEnabled());
    EXPECT_EQ(window->cbTestStep->currentIndex(), r.params.iTestStep);
    EXPECT_EQ(window->MemoTime->toPlainText(), r.strTestTime.Text());
    EXPECT_FALSE(window->ResultBoxes[0]->text().isEmpty());
    EXPECT_TRUE(messages.isEmpty());
    const QList<ArchivedTest> kept = window->TestArchive()->List({});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0].source, u"history");
    EXPECT_EQ(kept[0].time, r.strTestTime.Text());
}

TEST_F(LiveRoad, TheSameRoadOverTheUsbBridge) {
    SetBridgeLibraryPath(QStringLiteral(OLTC_USB_DOUBLE));
    QLibrary bridge(QStringLiteral(OLTC_USB_DOUBLE));
    ASSERT_TRUE(bridge.load()) << bridge.errorString().toStdString();
    const auto configure =
        reinterpret_cast<int (*)(const char*)>(bridge.resolve("SimUsb_Configure"));
    const auto log = reinterpret_cast<int (*)(char*, int)>(bridge.resolve("SimUsb_RequestLog"));
    ASSERT_TRUE(configure && log);
    ASSERT_EQ(configure("--seed 5 --polls 1 --brand 1"), 0);
    UDataCenter().settings.giCommStyle = 0;
    window->btnUpdateList->click();
    EXPECT_TRUE(window->StatusPanels[0]->text().contains(u"K4N7")) << "the device string";
    Scripted script;
    script.Then([] { return Scripted::Find<TFrmCharge>() != nullptr; },
                [] { Scripted::Find<TFrmCharge>()->BtnOk->click(); });
    window->BtnTest->click();
    ExpectCaptureShown();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    QByteArray text(1 << 16, '\0');
    text.resize(std::min<int>(log(text.data(), int(text.size())), int(text.size())));
    EXPECT_TRUE(text.contains(" FA 04 ")) << text.constData();
    SetBridgeLibraryPath({});
}
