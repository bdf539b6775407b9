// The archive beside the window: what is opened or saved is kept once,
// moved markers come back, "测试档案" opens a test; a broken archive is said
// once and stands in nothing's way.
#include "MainWindowFixture.h"

#include "Screenshot.h"

#include "Archive.h"
#include "ArchiveModel.h"
#include "ChartPicture.h"
#include "Helpers.h"
#include "SimCampaign.h"
#include "SummaryPlots.h"
#include "TestBody.h"
#include "UDlgArchive.h"
#include "UDlgSummary.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>

namespace {

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A tap change on all three phases at 50..60..64..72 ms.
QString WriteTapChange(const QString& path) {
    TestRecord r;
    const int edges[4] = {500, 600, 640, 720};
    const int levels[5] = {300, 800, 550, 820, 310};
    for (int p : {kPhaseA, kPhaseB, kPhaseC})
        for (int k = 1; k <= kSampleCount; ++k) {
            int stage = 0;
            while (stage < 4 && k >= edges[stage])
                ++stage;
            r.WaveOf(p)[k - 1] = levels[stage];
        }
    EXPECT_TRUE(WriteTestFile(path, r));
    return path;
}

// A test of the simulator's campaign `seed`, tap k, with the faults asked for.
TestRecord CampaignTap(quint32 seed, int k, const QList<SimCampaignFault>& faults = {}) {
    TestRecord r;
    r.params.iTestStep = CampaignTestOf(seed, k).step;
    r.strTestAdd.SetText(QStringLiteral("北郊站"));
    for (int phase = 1; phase <= 3; ++phase) {
        const auto samples = CampaignSamples(seed, phase, k, faults);
        std::copy(samples.begin(), samples.end(), r.WaveOf(phase).begin());
    }
    r.HasData = true;
    return r;
}

} // namespace

TEST_F(MainWindowTest, OpenedAndSavedTestsAreKeptOnce) {
    ASSERT_TRUE(window->TestArchive());
    answer = WriteTest("t.cty");
    window->BtnOpen->click();
    window->BtnOpen->click();
    const QString id = TestId(Bytes(answer));
    EXPECT_EQ(window->ShownTestId(), id);
    QList<ArchivedTest> kept = window->TestArchive()->List({});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0].source, u"file");
    EXPECT_EQ(kept[0].file, QFileInfo(answer).absoluteFilePath());

    answer = FilePath("copy.cty");
    window->BtnSave->click();
    kept = window->TestArchive()->List({});
    ASSERT_EQ(kept.size(), 1) << "the same bytes: the same test";
    EXPECT_EQ(kept[0].file, QFileInfo(answer).absoluteFilePath()) << "seen last there";
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

TEST_F(MainWindowTest, MovedMarkersAreKeptAndComeBack) {
    answer = WriteTapChange(FilePath("t.cty"));
    window->BtnOpen->click();
    ASSERT_FALSE(window->ShownTestId().isEmpty());
    const QString id = window->ShownTestId();
    QTest::keyClick(window.get(), Qt::Key_M, Qt::ControlModifier); // 自动定位
    const TransitionMarkers placed = window->ChartA->Markers();
    ASSERT_NE(placed.phase[0], (std::array<int, 4>{100, 200, 300, 400}));
    EXPECT_FALSE(window->TestArchive()->LatestMarkers(id)) << "kept after a second of quiet";
    QTest::qWait(1300);
    const auto kept = window->TestArchive()->LatestMarkers(id);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->markers, placed);
    EXPECT_EQ(kept->how, u"auto");

    // Opened again the markers start where they always start; Ctrl+R puts
    // the kept ones back.
    window->BtnOpen->click();
    EXPECT_EQ(window->ChartA->Markers().phase[0], (std::array<int, 4>{100, 200, 300, 400}));
    QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(window->ChartA->Markers(), placed);
    EXPECT_EQ(window->StatusPanels[1]->text(), u"已恢复标记");
    QTest::qWait(1300);
    EXPECT_EQ(window->TestArchive()->MarkerHistory(id).size(), 1) << "restoring is no new move";

    // A pending move is kept when the window goes.
    window->BtnAutoMarkers->click();
    window->cbInverted->click(); // markers back at the start, results follow
    window->BtnAutoMarkers->click();
    window.reset();
    auto archive = Archive::Open(*ParseArchiveLocation(FilePath("archive.sqlite")));
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->MarkerHistory(id).size(), 1) << "the same markers: no revision";
}

TEST_F(MainWindowTest, TheArchiveWindowOpensATestWithItsMarkers) {
    answer = WriteTest("t.cty");
    window->BtnOpen->click();
    const QString id = window->ShownTestId();
    TransitionMarkers marks = window->ChartA->Markers();
    marks.phase[0] = {40, 250, 350, 500};
    ASSERT_TRUE(window->TestArchive()->AddMarkers(id, marks, QStringLiteral("hand")));
    // Another test on display, then the archive's.
    answer = WriteTest("other.cty", 1, 0);
    window->BtnOpen->click();
    QTest::keyClick(window.get(), Qt::Key_D, Qt::ControlModifier);
    auto* archiveWindow = window->findChild<TFrmArchive*>();
    ASSERT_TRUE(archiveWindow);
    EXPECT_TRUE(archiveWindow->isVisible());
    ASSERT_EQ(archiveWindow->Model().rowCount(), 2);
    KeepScreenshot(archiveWindow, "archive-window.png");
    EXPECT_TRUE(window->OpenArchivedTest(id, true));
    EXPECT_EQ(window->ChartA->Markers(), marks);
    KeepScreenshot(window.get(), "main-restored.png");
    EXPECT_EQ(Box("EdtAT1"), u"21.0");
    EXPECT_TRUE(window->OpenArchivedTest(id, false));
    EXPECT_EQ(window->ChartA->Markers().phase[0], (std::array<int, 4>{100, 200, 300, 400}));
    EXPECT_TRUE(Record().HasData);
}

// Run with an archive that is no archive: the window says so once, and
// opening and saving work as ever; the file is left for rescue.
class BrokenArchiveTest : public MainWindowTest {
protected:
    void SetUp() override {
        QFile file(folder.filePath("archive.sqlite"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'x'));
        file.close();
        MainWindowTest::SetUp();
    }
};

TEST_F(BrokenArchiveTest, SaysSoOnceAndGetsOutOfTheWay) {
    EXPECT_FALSE(window->TestArchive());
    EXPECT_TRUE(window->statusBar()->currentMessage().startsWith(u"测试档案不可用："))
        << window->statusBar()->currentMessage().toStdString();
    answer = WriteTest("t.cty");
    window->BtnOpen->click();
    EXPECT_TRUE(Record().HasData);
    answer = FilePath("saved.cty");
    window->BtnSave->click();
    EXPECT_EQ(Bytes(answer).size(), kTestFileSize);
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(Bytes(FilePath("archive.sqlite")), QByteArray(8192, 'x'));
}

TEST_F(MainWindowTest, TheRestoreChoiceOpensWithTheKeptMarkers) {
    answer = WriteTapChange(FilePath("t.cty"));
    window->BtnOpen->click();
    TransitionMarkers marks = window->ChartA->Markers();
    marks.phase[1] = {480, 610, 650, 700};
    ASSERT_TRUE(
        window->TestArchive()->AddMarkers(window->ShownTestId(), marks, QStringLiteral("hand")));
    window->BtnArchive->click();
    auto* archiveWindow = window->findChild<TFrmArchive*>();
    ASSERT_TRUE(archiveWindow);
    archiveWindow->cbRestore->setChecked(true);
    window->BtnOpen->click();
    EXPECT_EQ(window->ChartA->Markers(), marks);
    // Kept in the settings file, in a section of its own.
    window.reset();
    QFile settings(FilePath("SystemFile.ini"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains("[Archive]\r\nRestoreMarkers=1\r\n"));
}

// "汇总" over the archive: the simulator's campaign of one tap changer, its
// slow phase marked in the table, written out, and a tap opened from it.
TEST_F(MainWindowTest, TheSummaryOfArchivedTapsMarksTheFaultyOne) {
    const QList<SimCampaignFault> faults = {{SimCampaignFault::SlowPhase, 5, 2}};
    for (int k = 1; k <= kSimCampaignTests; ++k) {
        TestRecord r;
        r.params.iTestStep = CampaignTestOf(1, k).step;
        r.strTestAdd.SetText(QStringLiteral("北郊站"));
        for (int phase = 1; phase <= 3; ++phase) {
            const auto samples = CampaignSamples(1, phase, k, faults);
            std::copy(samples.begin(), samples.end(), r.WaveOf(phase).begin());
        }
        ASSERT_EQ(window->TestArchive()->Add(EncodeTestFile(r), TestSource::History, {}).outcome,
                  AddOutcome::Added);
    }
    window->BtnArchive->click();
    auto* archiveWindow = window->findChild<TFrmArchive*>();
    ASSERT_TRUE(archiveWindow);
    archiveWindow->BtnSummary->click();
    auto* summary = window->findChild<TFrmSummary*>();
    ASSERT_TRUE(summary);
    ASSERT_EQ(summary->Grid->rowCount(), 20);
    KeepScreenshot(summary, "summary-window.png");
    // 4 -> 5 is the fifth row; B T2 its column 1 + 6 + 1.
    EXPECT_EQ(summary->Grid->item(4, 0)->text(), u"4 -> 5");
    QTableWidgetItem* slow = summary->Grid->item(4, 8);
    EXPECT_TRUE(slow->font().bold());
    EXPECT_TRUE(slow->toolTip().startsWith(u"B相：T2 = ")) << slow->toolTip().toStdString();
    EXPECT_EQ(summary->Grid->item(4, 19)->text(), u"不合格");
    EXPECT_FALSE(summary->Grid->item(3, 8)->font().bold());
    EXPECT_TRUE(summary->LblVerdict->text().contains(u"不合格 1 次"));
    EXPECT_TRUE(summary->BtnExportClick(FilePath("s.pdf")));
    EXPECT_TRUE(summary->BtnExportClick(FilePath("s.json")));
    EXPECT_TRUE(summary->BtnExportClick(FilePath("s.xlsx")));
    EXPECT_FALSE(summary->BtnExportClick(FilePath("s.txt")));
    EXPECT_EQ(messages.size(), 1);
    emit summary->Grid->cellDoubleClicked(4, 0);
    EXPECT_EQ(window->ShownTestId(), summary->Pages().campaign.tests[4].id);
    EXPECT_EQ(window->cbTestStep->currentIndex(), 9);
}

// A baseline: marked in the archive window, compared in the summary (and
// chosen again there), drawn under the shown test and judged in the status bar.
TEST_F(MainWindowTest, ABaselineIsMarkedComparedAndDrawnUnderTheShownTest) {
    Archive& archive = *window->TestArchive();
    const QString sound = archive.Add(EncodeTestFile(CampaignTap(1, 5)), TestSource::File, {}).id;
    window->BtnArchive->click();
    auto* archiveWindow = window->findChild<TFrmArchive*>();
    ASSERT_TRUE(archiveWindow);
    archiveWindow->SelectRow(0);
    ASSERT_TRUE(archiveWindow->BtnBaselineClick());
    EXPECT_EQ(archiveWindow->Model()
                  .data(archiveWindow->Model().index(0, ArchiveModel::Baseline), Qt::DisplayRole)
                  .toString(),
              u"基准");
    // This year's campaign, its B phase slow at 4 -> 5 (the fifth test).
    const QList<SimCampaignFault> faults = {{SimCampaignFault::SlowPhase, 5, 2}};
    QStringList ids;
    for (int k = 1; k <= kSimCampaignTests; ++k)
        ids << archive.Add(EncodeTestFile(CampaignTap(7, k, faults)), TestSource::History, {}).id;
    TFrmSummary* summary = window->SummariseArchived(ids);
    ASSERT_TRUE(summary);
    const auto baselineRules = [&] {
        QStringList rules;
        for (const JudgedTest& t : summary->Pages().campaign.tests)
            for (const Finding& f : t.findings)
                if (f.rule == u"baseline")
                    rules << StepText(t.step) + u' ' + QChar(u'A' + f.phase) + u' ' + f.value;
        return rules;
    };
    EXPECT_EQ(summary->Pages().baselines.size(), 1);
    EXPECT_TRUE(baselineRules().contains(u"4 -> 5 B T2"))
        << baselineRules().join(u',').toStdString();
    EXPECT_TRUE(summary->LblChoices->text().contains(u"档案中标记的基准") ||
                summary->LblChoices->text().contains(u"1 次测试"));
    summary->Tabs->setCurrentWidget(summary->Plots);
    KeepScreenshot(summary, "summary-plots.png");
    summary->SetBaselines({}, QStringLiteral("无"));
    EXPECT_TRUE(baselineRules().isEmpty());
    EXPECT_TRUE(summary->LblChoices->text().startsWith(u"基准：无"));
    // The maker's range from a profile: every T above 1 ms is out of it.
    QFile profile(FilePath("maker.ini"));
    ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
    profile.write("[Maker]\r\nTMax=1\r\n");
    profile.close();
    ASSERT_TRUE(summary->LoadProfile(profile.fileName()));
    EXPECT_EQ(summary->Pages().campaign.overall, Verdict::Fail);
    EXPECT_TRUE(summary->LblVerdict->text().contains(u"不合格 20 次"));
    EXPECT_FALSE(summary->LoadProfile(FilePath("none.ini")));
    EXPECT_EQ(messages.size(), 1);
    summary->UseDefaultProfile();
    EXPECT_TRUE(summary->LblVerdict->text().contains(u"不合格 1 次"));

    // The slow tap in the main window against the archive's baseline of its step.
    emit summary->Grid->cellDoubleClicked(4, 0);
    window->BtnAutoMarkers->click();
    ASSERT_TRUE(window->CompareWithArchivedBaseline());
    EXPECT_TRUE(window->LblBaseline->isVisibleTo(window.get()));
    EXPECT_TRUE(
        window->LblBaseline->property("verdict").toString().startsWith(u"与基准不同：B相 T2"))
        << window->LblBaseline->property("verdict").toString().toStdString();
    for (int p = 0; p < 3; ++p)
        EXPECT_FALSE(window->ChartA->BaselineSeries(p)->data()->isEmpty());
    const QString resultsBefore = window->ResultBoxes[0]->text();
    window->ChartA->replot(QCustomPlot::rpImmediateRefresh);
    KeepScreenshot(window.get(), "baseline-overlay.png");
    // The specified picture of the chart is of the test alone.
    const QImage withOverlay = window->ChartA->grab().toImage();
    window->ChartA->ShowBaseline(false);
    const QImage alone = window->ChartA->grab().toImage();
    window->ChartA->ShowBaseline(true);
    EXPECT_NE(withOverlay, alone);
    EXPECT_EQ(ChartPictureOf(*window->ChartA), alone);
    // A sound tap of the same step is like its baseline.
    TFrmSummary* again = window->SummariseArchived(ids);
    emit again->Grid->cellDoubleClicked(3, 0);
    EXPECT_EQ(window->cbTestStep->currentIndex(), CampaignTestOf(7, 4).step);
    EXPECT_TRUE(window->LblBaseline->property("verdict").toString().contains(u"没有"))
        << "no baseline of 3 -> 4 in the archive";
    emit again->Grid->cellDoubleClicked(4, 0);
    window->BtnAutoMarkers->click();
    EXPECT_TRUE(window->LblBaseline->property("verdict").toString().startsWith(u"与基准不同"))
        << "back on 4 -> 5, its baseline again";
    EXPECT_EQ(window->ResultBoxes[0]->text(), resultsBefore) << "the results are the test's own";
    window->EndBaselineComparison();
    EXPECT_FALSE(window->LblBaseline->isVisibleTo(window.get()));
    EXPECT_TRUE(window->ChartA->BaselineSeries(0)->data()->isEmpty());

    // A sound tap against a sound baseline file of its step.
    ASSERT_TRUE(WriteTestFile(FilePath("base.cty"), CampaignTap(1, 5)));
    ASSERT_TRUE(WriteTestFile(FilePath("tap.cty"), CampaignTap(3, 5)));
    ASSERT_TRUE(window->OpenTestFile(FilePath("tap.cty")));
    window->BtnAutoMarkers->click();
    ASSERT_TRUE(window->CompareWithBaselineFile(FilePath("base.cty")));
    EXPECT_EQ(window->LblBaseline->property("verdict").toString(), u"与基准一致");
    EXPECT_FALSE(window->CompareWithBaselineFile(FilePath("none.cty")));
}

// "汇总文件夹": the tests of a folder, a baseline read from another.
TEST_F(MainWindowTest, AFolderIsSummarisedAgainstABaselineFolder) {
    const QList<SimCampaignFault> faults = {{SimCampaignFault::SlowPhase, 5, 2}};
    ASSERT_TRUE(QDir().mkpath(FilePath("campaign/down")) && QDir().mkpath(FilePath("base")));
    for (int k = 1; k <= kSimCampaignTests; ++k)
        ASSERT_TRUE(WriteTestFile(FilePath(QStringLiteral("campaign/%1t%2.cty")
                                               .arg(k > 10 ? QStringLiteral("down/") : QString())
                                               .arg(k)),
                                  CampaignTap(7, k, faults)));
    ASSERT_TRUE(WriteTestFile(FilePath("base/b5.cty"), CampaignTap(1, 5)));
    QFile junk(FilePath("base/junk.cty"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly) && junk.write("short") == 5);
    junk.close();
    TFrmSummary* summary = window->SummariseFolder(FilePath("campaign"));
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->Grid->rowCount(), 20);
    EXPECT_TRUE(summary->Pages().baselines.isEmpty());
    ASSERT_TRUE(summary->LoadBaselines({FilePath("base")}));
    ASSERT_EQ(summary->Pages().baselines.size(), 1) << "the short file is not a test";
    QStringList rules;
    for (const Finding& f : summary->Pages().campaign.tests[4].findings)
        rules << f.rule;
    EXPECT_TRUE(rules.contains(u"baseline")) << rules.join(u',').toStdString();
    EXPECT_FALSE(summary->LoadBaselines({FilePath("campaign/none")}));
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(summary->Pages().baselines.size(), 1) << "the baselines before stay";
    emit summary->Grid->cellDoubleClicked(4, 0);
    EXPECT_EQ(window->cbTestStep->currentIndex(), CampaignTestOf(7, 5).step);
    EXPECT_EQ(window->SummariseFolder(FilePath("base/none")), nullptr);
}
