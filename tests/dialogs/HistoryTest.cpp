#include "GridCells.h"
#include "Helpers.h"
#include "HistoryUpload.h"
#include "SimStoredTest.h"
#include "SimTester.h"
#include "SimWaveform.h"
#include "UDlgHistoryIndex.h"
#include "UDlgProcess.h"

#include <QDateTime>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace {

QStringList Row(const TFrmHistoryIndex& dialog, int row) {
    QStringList out;
    for (int column = 0; column < 3; ++column)
        out << GridText(*dialog.SGHistoryIndex, row, column);
    return out;
}

QStringList RowOf(int k) {
    const SimStoredTest t = StoredTestOf(1, k);
    return {QString::number(k), StepText(t.step),
            QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                              t.minute, t.second)};
}

bool SameAsSim(const TestRecord& record, int phase, int k) {
    const auto wave = SimWaveform(1, phase, k);
    return std::equal(wave.begin(), wave.end(), record.WaveOf(phase).begin());
}

void DoubleClick(TFrmHistoryIndex& dialog, int row) {
    dialog.SGHistoryIndex->setCurrentCell(row, 1);
    emit dialog.SGHistoryIndex->cellDoubleClicked(row, 1);
}

TEST(History, EmptyTesterAfterThePause) {
    SimConfig empty;
    empty.storedTests = 0;
    SimTester tester(empty);
    QStringList rows;
    OnModal<TFrmHistoryIndex>([&](TFrmHistoryIndex& dialog) {
        rows = Row(dialog, 0) + Row(dialog, 1);
        rows << QString::number(dialog.SGHistoryIndex->rowCount());
        DoubleClick(dialog, 1);
        dialog.close();
    });
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    TestRecord record;
    UploadFromHistory(nullptr, tester.Link(), record, [] { ADD_FAILURE() << "nothing to show"; });
    ASSERT_EQ(tester.Requests(), QStringList{"F1 00"});
    EXPECT_GE(tester.Log()[0].atMs - start, 1000);
    EXPECT_EQ(rows, QStringList({"序号", "测试档位", "测试时间", "", "", "", "2"}));
}

TEST(History, ListsAtMostAHundredEntries) {
    for (const int stored : {3, 150}) {
        SimConfig config;
        config.storedTests = stored;
        SimTester tester(config);
        TestRecord record;
        TFrmHistoryIndex* dialog =
            OpenHistoryIndex(nullptr, tester.Link(), record, [] { ADD_FAILURE(); });
        ASSERT_NE(dialog, nullptr);
        const int n = std::min(stored, 100);
        QStringList requests{"F1 00"};
        for (int k = 1; k <= n; ++k)
            requests << QString::asprintf("F2 %02X", k);
        EXPECT_EQ(tester.Requests(), requests);
        ASSERT_EQ(dialog->SGHistoryIndex->rowCount(), n + 2);
        EXPECT_EQ(Row(*dialog, 1), RowOf(1));
        EXPECT_EQ(Row(*dialog, n), RowOf(n));
        EXPECT_EQ(Row(*dialog, n + 1), QStringList(3));

        dialog->show();
        const int w = dialog->SGHistoryIndex->viewport()->width() / 6;
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(dialog->SGHistoryIndex->columnWidth(column), (column + 1) * w);
        // Neither the empty row nor the header uploads, even with an entry chosen before.
        DoubleClick(*dialog, n + 1);
        dialog->SGHistoryIndex->setCurrentCell(1, 1);
        emit dialog->SGHistoryIndex->cellDoubleClicked(0, 1);
        EXPECT_EQ(tester.Requests().size(), n + 1);
        dialog->close();
    }
}

TEST(History, UploadWholeCancelledOrCut) {
    struct Case {
        const char* name;
        QByteArray cutAfter;
        bool cancelAfterA;
        int blocks, calls;
        QStringList messages;
    };
    const Case cases[] = {
        {"whole", {}, false, 4, 1, {}},
        {"cancel once A is stored", {}, true, 2, 1, {}},
        {"block 2 fails", QByteArray::fromHex("f30301"), false, 2, 0, {"通讯失败！"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimTester tester({}, c.cutAfter);
        TestRecord record;
        for (int phase = 1; phase <= 3; ++phase)
            record.WaveOf(phase).fill(5);
        record.params.iChargeTime = 7;
        record.iAngle = 33;
        const TestRecord before = record;
        int calls = 0;
        TFrmHistoryIndex* dialog =
            OpenHistoryIndex(nullptr, tester.Link(), record, [&] { ++calls; });
        ASSERT_NE(dialog, nullptr);
        dialog->show();
        QStringList progress;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (auto* window = FindWindow<TFrmProcess>()) {
                progress = {window->lblTip->text(), QString::number(window->PBCount->maximum()),
                            QString::number(window->PBProcess->maximum())};
                if (c.cancelAfterA && SameAsSim(record, 1, 3))
                    window->BtnCancel->click();
                // Neither closing the list nor another upload while one runs.
                dialog->close();
                DoubleClick(*dialog, 2);
            }
        });
        watch.start(1);
        DoubleClick(*dialog, 3);
        watch.stop();

        QStringList requests;
        for (int b = 0; b < c.blocks; ++b)
            requests << QString::asprintf("F3 03 %02X", b);
        EXPECT_EQ(tester.Requests(3).mid(4), requests);
        EXPECT_EQ(progress, QStringList({"正在上传数据...", "137", "3"}));
        EXPECT_EQ(tester.messages, c.messages);
        EXPECT_EQ(calls, c.calls);
        const SimStoredTest t = StoredTestOf(1, 3);
        EXPECT_EQ(Row(*dialog, 3).last(), record.strTestTime.Text());
        EXPECT_EQ(record.strTestUser.Bytes(), t.user);
        EXPECT_EQ(record.strTestAdd.Bytes(), t.place);
        TestParams params = before.params;
        params.iSwitchType = t.switchType;
        params.iTestMode = t.testMode;
        params.iTestStep = t.step;
        params.iSampleBurst = t.threshold;
        params.iSamplePoint = t.preTrigger;
        EXPECT_EQ(record.params, params);
        EXPECT_EQ(record.iAngle, 33);
        EXPECT_TRUE(SameAsSim(record, 1, 3));
        EXPECT_EQ(SameAsSim(record, 3, 3), c.blocks == 4);
        EXPECT_EQ(record.WaveB == before.WaveB, c.blocks < 4);
        FlushDeletes();
        EXPECT_EQ(FindWindow<TFrmProcess>(), nullptr);
        EXPECT_TRUE(dialog->isVisible()); // ready for another upload
        dialog->close();
    }
}

TEST(History, FailuresWhileListing) {
    // The count: no dialog. The second entry: the dialog lists the first.
    for (const bool count : {true, false}) {
        SimTester tester(WithFault(count ? "F1:noanswer" : nullptr),
                         count ? QByteArray() : QByteArray::fromHex("f201"));
        TestRecord record;
        TFrmHistoryIndex* dialog = OpenHistoryIndex(nullptr, tester.Link(), record, {});
        EXPECT_EQ(tester.messages, QStringList{"通讯失败！"});
        EXPECT_EQ(tester.icons, QList{MsgIcon::Warning});
        ASSERT_EQ(dialog == nullptr, count);
        if (dialog) {
            EXPECT_EQ(dialog->SGHistoryIndex->rowCount(), 3);
            const qsizetype sent = tester.Log().size();
            // The entry that did not arrive is still asked for: the tester
            // holds three. Unplugged, it does not answer.
            DoubleClick(*dialog, 2);
            EXPECT_EQ(tester.Log().size(), sent);
            EXPECT_EQ(tester.messages, (QStringList{"通讯失败！", "通讯失败！"}));
            EXPECT_EQ(tester.icons, (QList{MsgIcon::Warning, MsgIcon::Error}));
            dialog->close();
        }
    }
}

} // namespace
