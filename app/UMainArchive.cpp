// The archive beside the specified road: every test that enters is kept,
// its markers with it; "测试档案" finds them again. A failing archive is
// said once in the status bar and stands in nothing's way.
#include "UMain.h"

#include "Archive.h"
#include "ArchiveLocation.h"
#include "ChartMath.h"
#include "FileNames.h"
#include "Message.h"
#include "NativeFile.h"
#include "TestBody.h"
#include "TestFile.h"
#include "UDataCenter.h"
#include "UDlgArchive.h"
#include "WaveChart.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

void TFrmMain::OpenArchive() {
    markersQuiet_ = new QTimer(this);
    markersQuiet_->setSingleShot(true);
    markersQuiet_->setInterval(1000); // one revision per second of quiet
    connect(markersQuiet_, &QTimer::timeout, this, &TFrmMain::StoreMarkers);
    const QString file = DefaultArchiveFile(programFolder_);
    if (file.isEmpty())
        return; // no program folder: nothing is kept
    QString why;
    archive_ = Archive::Open(*ParseArchiveLocation(file), &why);
    if (!archive_)
        ArchiveTrouble(VisibleText(file) + QStringLiteral(": ") + why);
}

void TFrmMain::ArchiveTrouble(const QString& why) {
    if (archiveTroubleSaid_)
        return;
    archiveTroubleSaid_ = true;
    statusBar()->showMessage(QCoreApplication::translate("UMainArchive", "测试档案不可用：") + why,
                             15000);
}

void TFrmMain::KeepShownTest(TestSource source, const QString& path, const QByteArray& bytes) {
    KeepMarkersNow(); // what was moved on the test before belongs to it
    shownId_.clear();
    keptMarks_.clear();
    if (!archive_)
        return;
    const AddResult added = bytes.isEmpty() ? archive_->Add(dc_.record, source, path)
                                            : archive_->Add(bytes, source, path);
    if (added.outcome == AddOutcome::Added || added.outcome == AddOutcome::AlreadyThere) {
        shownId_ = added.id;
        if (const auto latest = archive_->LatestMarkers(shownId_))
            keptMarks_ = MarksText(latest->markers);
    } else {
        ArchiveTrouble(added.why);
    }
}

void TFrmMain::MarkersMoved(const QString& how) {
    if (shownId_.isEmpty())
        return;
    markersHow_ = how;
    markersQuiet_->start();
}

void TFrmMain::KeepMarkersNow() {
    if (!markersQuiet_ || !markersQuiet_->isActive())
        return;
    markersQuiet_->stop();
    StoreMarkers();
}

void TFrmMain::StoreMarkers() {
    if (!archive_ || shownId_.isEmpty() || !dc_.record.HasData)
        return;
    const TransitionMarkers markers = ChartA->Markers();
    if (MarksText(markers) == keptMarks_)
        return;
    if (archive_->AddMarkers(shownId_, markers, markersHow_))
        keptMarks_ = MarksText(markers);
    else
        ArchiveTrouble(archive_->Error());
}

bool TFrmMain::BtnRestoreMarkersClick() {
    if (!archive_ || shownId_.isEmpty() || !dc_.record.HasData) {
        StatusPanels[1]->setText(QCoreApplication::translate("UMainArchive", "没有保存的标记"));
        return false;
    }
    const auto latest = archive_->LatestMarkers(shownId_);
    if (!latest) {
        StatusPanels[1]->setText(QCoreApplication::translate("UMainArchive", "没有保存的标记"));
        return false;
    }
    const auto drawn = DrawnPhases(dc_.record.params.iSwitchType, dc_.record.params.iTestMode);
    for (int p = 0; p < 3; ++p)
        if (drawn[p])
            // From the last marker down: each stays within its neighbours.
            for (int pass = 0; pass < 2; ++pass)
                for (int j = 4; j >= 1; --j)
                    ChartA->PlaceMarker(MarkerNumber(kPhaseA + p, j),
                                        latest->markers.phase[p][j - 1]);
    markersQuiet_->stop();
    keptMarks_ = MarksText(ChartA->Markers());
    ShowResults();
    StatusPanels[1]->setText(QCoreApplication::translate("UMainArchive", "已恢复标记"));
    return true;
}

bool TFrmMain::OpenArchivedTest(const QString& id, bool withMarkers) {
    if (!archive_)
        return false;
    const auto bytes = archive_->Bytes(id);
    if (!bytes || !DecodeTestFile(*bytes, dc_.record)) {
        ShowMessage(QCoreApplication::translate("UMainArchive", "打开数据文件失败！"),
                    MsgIcon::Information);
        return false;
    }
    ShowOpenedRecord();
    KeepMarkersNow();
    shownId_ = id;
    keptMarks_.clear();
    if (const auto latest = archive_->LatestMarkers(id))
        keptMarks_ = MarksText(latest->markers);
    if (withMarkers || dc_.settings.restoreMarkers.value_or(false))
        BtnRestoreMarkersClick();
    return true;
}

void TFrmMain::BtnArchiveClick() {
    if (!archive_) {
        archiveTroubleSaid_ = false;
        OpenArchive(); // it may be usable now
        if (!archive_)
            return;
    }
    if (!archiveWindow_) {
        archiveWindow_ = new TFrmArchive(
            *archive_, [this](const QString& id, bool marks) { OpenArchivedTest(id, marks); },
            this);
        archiveWindow_->SetSummarise([this](const QStringList& ids) { SummariseArchived(ids); });
        archiveWindow_->SetSummariseFolder(
            [this](const QString& folder) { SummariseFolder(folder); });
        archiveWindow_->SetRestoreChoice(dc_.settings.restoreMarkers.value_or(false),
                                         [this](bool on) { dc_.settings.restoreMarkers = on; });
    } else {
        archiveWindow_->Refresh();
    }
    archiveWindow_->show();
    archiveWindow_->raise();
    archiveWindow_->activateWindow();
}

std::optional<TransitionMarkers> TFrmMain::KeptMarkersOf(const QString& id) {
    if (!archive_)
        return std::nullopt;
    const auto latest = archive_->LatestMarkers(id);
    return latest ? std::optional(latest->markers) : std::nullopt;
}
