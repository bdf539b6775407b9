// "对比基准": a baseline test under the shown one, and the verdict against it.
#include "UMain.h"

#include "Archive.h"
#include "FileNames.h"
#include "Helpers.h"
#include "Message.h"
#include "TestFile.h"
#include "TestToJudge.h"
#include "UDataCenter.h"
#include "UDlgSummary.h"
#include "WaveChart.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace {

// The first t1 of the phases holding a transition; nothing when none does.
std::optional<int> FirstT1(const TestToJudge& test) {
    std::optional<int> first;
    for (int p = 0; p < 3; ++p)
        if (test.found[p] && (!first || test.markers.phase[p][0] < *first))
            first = test.markers.phase[p][0];
    return first;
}

} // namespace

void TFrmMain::BtnBaselineClick() {
    QMenu menu(this);
    menu.addAction(QCoreApplication::translate("UMainBaseline", "档案中的基准"), this,
                   [this] { CompareWithArchivedBaseline(); })
        ->setEnabled(archive_ && dc_.record.HasData);
    menu.addAction(QCoreApplication::translate("UMainBaseline", "选择文件..."), this, [this] {
        const QString path = QFileDialog::getOpenFileName(
            this, QCoreApplication::translate("UMainBaseline", "选择基准"), QString(),
            QCoreApplication::translate("UMainBaseline", "数据文件(*.cty)"));
        if (!path.isEmpty())
            CompareWithBaselineFile(path);
    });
    menu.addAction(QCoreApplication::translate("UMainBaseline", "取消对比"), this,
                   [this] { EndBaselineComparison(); })
        ->setEnabled(baseline_.has_value());
    menu.exec(BtnBaseline->mapToGlobal(QPoint(0, BtnBaseline->height())));
}

bool TFrmMain::CompareWithArchivedBaseline() {
    if (!archive_ || !dc_.record.HasData)
        return false;
    baselineFromArchive_ = true;
    QString device;
    if (!shownId_.isEmpty())
        if (const auto note = archive_->LatestAnnotation(shownId_))
            device = note->device;
    ArchiveFilter filter = BaselinesFilter(device, dc_.record.strTestAdd.Text());
    filter.step = dc_.record.params.iTestStep;
    filter.descending = true; // the newest first
    filter.limit = 1;
    const QList<ArchivedTest> found = archive_->List(filter);
    const auto bytes = found.isEmpty() ? std::nullopt : archive_->Bytes(found[0].id);
    auto record = std::make_shared<TestRecord>();
    if (!bytes || !DecodeTestFile(*bytes, *record)) {
        baseline_.reset();
        ChartA->DrawBaseline(dc_.record, nullptr, 0);
        const QString said =
            QCoreApplication::translate("UMainBaseline", "测试档案中没有 %1 的基准")
                .arg(StepText(dc_.record.params.iTestStep));
        LblBaseline->setText(said);
        LblBaseline->setProperty("verdict", said);
        LblBaseline->setToolTip({});
        LblBaseline->show();
        return false;
    }
    baseline_ = PrepareTest(record, found[0].id, found[0].file, found[0].markers);
    baselineName_ = found[0].time;
    UpdateBaselineComparison();
    return true;
}

bool TFrmMain::CompareWithBaselineFile(const QString& path) {
    const QList<TestToPrepare> read = ReadTestsOf(
        {path}, [this](const QString& id) { return KeptMarkersOf(id); }, nullptr);
    if (read.isEmpty()) {
        ShowMessage(QCoreApplication::translate("UMainBaseline", "打开数据文件失败！"),
                    MsgIcon::Information);
        return false;
    }
    const TestToPrepare& t = read.front();
    baselineFromArchive_ = false;
    baseline_ = PrepareTest(t.record, t.id, t.file, t.kept);
    baselineName_ = QFileInfo(path).fileName();
    UpdateBaselineComparison();
    return true;
}

void TFrmMain::EndBaselineComparison() {
    baseline_.reset();
    baselineFromArchive_ = false;
    ChartA->DrawBaseline(dc_.record, nullptr, 0);
    LblBaseline->clear();
    LblBaseline->setToolTip({});
    LblBaseline->hide();
}

void TFrmMain::UpdateBaselineComparison() {
    if (!baseline_ && !baselineFromArchive_)
        return;
    if (!dc_.record.HasData) {
        ChartA->DrawBaseline(dc_.record, nullptr, 0);
        LblBaseline->hide();
        return;
    }
    // Another tap step on display: the archive's baseline of that one.
    if (baselineFromArchive_ &&
        (!baseline_ || baseline_->record->params.iTestStep != dc_.record.params.iTestStep)) {
        CompareWithArchivedBaseline();
        return;
    }
    const TestToJudge shown =
        PrepareTest(std::make_shared<TestRecord>(dc_.record), shownId_, {}, ChartA->Markers());
    const JudgeProfile profile;
    JudgedTest judged = JudgeTest(shown, profile);
    const JudgedTest base = JudgeTest(*baseline_, profile);
    judged.findings.clear();
    JudgeAgainstBaseline(judged, base, profile);

    const auto t1 = FirstT1(shown), baseT1 = FirstT1(*baseline_);
    ChartA->DrawBaseline(dc_.record, baseline_->record.get(), t1 && baseT1 ? *t1 - *baseT1 : 0);

    // Short in the status bar (phase and value), in words in its tool tip.
    QStringList differs, texts;
    for (const Finding& f : judged.findings) {
        const QString what = QCoreApplication::translate("UMainBaseline", "%1相 %2")
                                 .arg(QChar(u'A' + f.phase))
                                 .arg(f.value);
        if (!differs.contains(what))
            differs << what;
        texts << f.text;
    }
    QString said =
        differs.isEmpty()
            ? QCoreApplication::translate("UMainBaseline", "与基准一致")
            : QCoreApplication::translate("UMainBaseline", "与基准不同：") + differs.join(u'、');
    if (base.step != judged.step)
        said =
            QCoreApplication::translate("UMainBaseline", "基准为 %1，").arg(StepText(base.step)) +
            said;
    LblBaseline->setText(said);
    LblBaseline->setToolTip(
        QCoreApplication::translate("UMainBaseline", "基准：%1\n%2").arg(baselineName_, said) +
        (texts.isEmpty() ? QString() : u'\n' + texts.join(u'\n')));
    LblBaseline->setProperty("verdict", said);
    LblBaseline->show();
}
