#include "GridCells.h"
#include "Helpers.h"
#include "HistoryUpload.h"
#include "SimStoredTest.h"
#include "SimTester.h"
#include "SimWaveform.h"
#include "TestRecord.h"
#include "UDlgHistoryIndex.h"
#include "UDlgProcess.h"

#include <QDateTime>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace {

using History = DialogTest;

QString StampOf(const SimStoredTest& t) {
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                             t.minute, t.second);
}

QStringList Row(const TFrmHistoryIndex& dialog, int row) {
    return {GridText(*dialog.SGHistoryIndex, row, 0), GridText(*dialog.SGHistoryIndex, row, 1),
            GridText(*dialog.SGHistoryIndex, row, 2)};
}

QStringList EntryRequests(int n) {
    QStringList out{"F1 00"};
    for (int k = 1; k <= n; ++k)
        out << QString::asprintf("F2 %02X", k);
    return out;
}

TestRecord OldRecord() {
    TestRecord record;
    for (int phase = 1; phase <= 3; ++phase)
        record.WaveOf(phase).fill(5 * phase);
    record.iLoops = 3;
    record.iAngle = 33;
    record.params.iSampleLength = 1;
    record.params.iChargeTime = 7;
    record.params.iSeriesType = 1;
    return record;
}

bool SameAsSim(const TestRecord& record, int phase, int k) {
    const auto wave = SimWaveform(1, phase, k);
    for (int n = 1; n <= kSampleCount; ++n)
        if (record.SampleAt(phase, n) != wave[n - 1])
            return false;
    return true;
}

void ExpectHeaderOf(const TestRecord& record, int k) {
    const SimStoredTest t = StoredTestOf(1, k);
    EXPECT_EQ(record.strTestTime.Text(), StampOf(t));
    EXPECT_EQ(record.strTestUser.Bytes(), t.user);
    EXPECT_EQ(record.strTestAdd.Bytes(), t.place);
    EXPECT_EQ(record.params.iSwitchType, t.switchType);
    EXPECT_EQ(record.params.iTestMode, t.testMode);
    EXPECT_EQ(record.params.iTestStep, t.step);
    EXPECT_EQ(record.params.iSampleBurst, t.threshold);
    EXPECT_EQ(record.params.iSamplePoint, t.preTrigger);
    // Not carried by a stored test.
    EXPECT_EQ(record.params.iSampleLength, 1);
    EXPECT_EQ(record.params.iChargeTime, 7);
    EXPECT_EQ(record.params.iSeriesType, 1);
    EXPECT_EQ(record.iLoops, 3);
    EXPECT_EQ(record.iAngle, 33);
}

TEST_F(History, EmptyTesterAfterThePause) {
    SimConfig config;
    config.storedTests = 0;
    SimTester tester(config);
    ASSERT_TRUE(tester.Started());
    TestRecord record;
    int calls = 0, rows = 0;
    QStringList header;
    OnModal<TFrmHistoryIndex>([&](TFrmHistoryIndex& dialog) {
        rows = dialog.SGHistoryIndex->rowCount();
        header = Row(dialog, 0);
        emit dialog.SGHistoryIndex->cellDoubleClicked(1, 1);
        dialog.close();
    });
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    UploadFromHistory(nullptr, record, [&] { ++calls; });
    ASSERT_FALSE(tester.Log().isEmpty());
    EXPECT_GE(tester.Log()[0].atMs - start, 1000);
    EXPECT_EQ(tester.Requests(), QStringList{"F1 00"});
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(header, QStringList({"序号", "测试档位", "测试时间"}));
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(messages.empty());
}

TEST_F(History, ListsAtMostAHundredEntries) {
    for (const int stored : {3, 150}) {
        SCOPED_TRACE(stored);
        SimConfig config;
        config.storedTests = stored;
        SimTester tester(config);
        ASSERT_TRUE(tester.Started());
        TestRecord record;
        int calls = 0;
        TFrmHistoryIndex* dialog = OpenHistoryIndex(nullptr, record, [&] { ++calls; });
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->isVisible());
        const int n = std::min(stored, 100);
        EXPECT_EQ(tester.Requests(), EntryRequests(n));
        ASSERT_EQ(dialog->SGHistoryIndex->rowCount(), n + 2);
        for (const int k : {1, n}) {
            const SimStoredTest t = StoredTestOf(1, k);
            EXPECT_EQ(Row(*dialog, k),
                      QStringList({QString::number(k), StepText(t.step), StampOf(t)}));
        }
        EXPECT_EQ(Row(*dialog, n + 1), QStringList({"", "", ""}));

        dialog->show();
        const int w = dialog->SGHistoryIndex->viewport()->width() / 6;
        EXPECT_EQ(dialog->SGHistoryIndex->columnWidth(0), w);
        EXPECT_EQ(dialog->SGHistoryIndex->columnWidth(1), 2 * w);
        EXPECT_EQ(dialog->SGHistoryIndex->columnWidth(2), 3 * w);
        // Neither the empty row nor the header uploads anything, not even
        // with an entry selected before.
        EXPECT_EQ(dialog->RememberedRow(), 0);
        dialog->SGHistoryIndex->setCurrentCell(n + 1, 1);
        emit dialog->SGHistoryIndex->cellDoubleClicked(n + 1, 1);
        dialog->SGHistoryIndex->setCurrentCell(1, 1);
        EXPECT_EQ(dialog->RememberedRow(), 1);
        emit dialog->SGHistoryIndex->cellDoubleClicked(0, 1);
        EXPECT_EQ(tester.Requests().size(), n + 1);
        EXPECT_EQ(calls, 0);
        dialog->close();
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(History, UploadsTheChosenTest) {
    SimTester tester;
    ASSERT_TRUE(tester.Started());
    TestRecord record = OldRecord();
    int calls = 0;
    TFrmHistoryIndex* dialog = OpenHistoryIndex(nullptr, record, [&] { ++calls; });
    ASSERT_NE(dialog, nullptr);
    dialog->show();
    struct {
        QString tip;
        int countMax = 0, processMax = 0;
    } progress;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* window = FindWindow<TFrmProcess>()) {
            progress.tip = window->lblTip->text();
            progress.countMax = window->PBCount->maximum();
            progress.processMax = window->PBProcess->maximum();
        }
    });
    watch.start(2);
    dialog->SGHistoryIndex->setCurrentCell(2, 2);
    emit dialog->SGHistoryIndex->cellDoubleClicked(2, 2);
    watch.stop();

    EXPECT_EQ(tester.Requests(3).mid(4),
              QStringList({"F3 02 00", "F3 02 01", "F3 02 02", "F3 02 03"}));
    ExpectHeaderOf(record, 2);
    for (int phase = 1; phase <= 3; ++phase)
        EXPECT_TRUE(SameAsSim(record, phase, 2)) << phase;
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(progress.tip, QString("正在上传数据..."));
    EXPECT_EQ(progress.countMax, 137);
    EXPECT_EQ(progress.processMax, 3);
    FlushDeletes();
    EXPECT_EQ(FindWindow<TFrmProcess>(), nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(messages.empty());
    dialog->close();
}

TEST_F(History, CancelAfterBlockOneAndFailureOfBlockTwo) {
    for (const bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancel" : "failure");
        messages.clear();
        SimTester tester({}, cancel ? QByteArray() : QByteArray::fromHex("f30301"));
        ASSERT_TRUE(tester.Started());
        TestRecord record = OldRecord();
        const TestRecord before = record;
        int calls = 0;
        TFrmHistoryIndex* dialog = OpenHistoryIndex(nullptr, record, [&] { ++calls; });
        ASSERT_NE(dialog, nullptr);
        dialog->show();
        // Cancel as soon as phase A is stored.
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* window = FindWindow<TFrmProcess>();
                window && cancel && SameAsSim(record, 1, 3))
                window->BtnCancel->click();
        });
        watch.start(1);
        dialog->SGHistoryIndex->setCurrentCell(3, 1);
        emit dialog->SGHistoryIndex->cellDoubleClicked(3, 1);
        watch.stop();

        EXPECT_EQ(tester.Requests(3).mid(4), QStringList({"F3 03 00", "F3 03 01"}));
        ExpectHeaderOf(record, 3);
        EXPECT_TRUE(SameAsSim(record, 1, 3));
        EXPECT_EQ(record.WaveB, before.WaveB);
        EXPECT_EQ(record.WaveC, before.WaveC);
        // A cancel still shows what arrived; a failure does not.
        EXPECT_EQ(calls, cancel ? 1 : 0);
        EXPECT_EQ(Messages(), cancel ? QStringList() : QStringList{"通讯失败！"});
        if (!cancel) {
            EXPECT_EQ(messages[0].second, MsgIcon::Error);
        }
        FlushDeletes();
        EXPECT_EQ(FindWindow<TFrmProcess>(), nullptr);
        dialog->close();
    }
}

TEST_F(History, FailuresWhileListing) {
    struct Case {
        const char* name;
        const char* fault;
        QByteArray cutAfter;
        bool opens;
        int listed;
    };
    const Case cases[] = {
        {"count", "F1:noanswer", {}, false, 0},
        {"second entry", nullptr, QByteArray::fromHex("f201"), true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        SimConfig config;
        if (c.fault)
            config.faults << *ParseFault(c.fault);
        SimTester tester(config, c.cutAfter);
        ASSERT_TRUE(tester.Started());
        TestRecord record;
        TFrmHistoryIndex* dialog = OpenHistoryIndex(nullptr, record, {});
        EXPECT_EQ(dialog != nullptr, c.opens);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].first, QString("通讯失败！"));
        EXPECT_EQ(messages[0].second, MsgIcon::Warning);
        if (!dialog)
            continue;
        EXPECT_EQ(dialog->ListedEntries(), c.listed);
        EXPECT_EQ(dialog->SGHistoryIndex->rowCount(), c.listed + 2);
        // The entry that did not arrive cannot be uploaded.
        dialog->SGHistoryIndex->setCurrentCell(c.listed + 1, 1);
        const int before = int(tester.Log().size());
        emit dialog->SGHistoryIndex->cellDoubleClicked(c.listed + 1, 1);
        EXPECT_EQ(tester.Log().size(), before);
        dialog->close();
    }
}

} // namespace
