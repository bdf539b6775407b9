#pragma once

#include "SummaryReport.h"
#include "TestToJudge.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class SummaryPlots;

// The tests of these .cty files and folders (searched through), with the
// markers `kept` gives by id; the names of those that cannot be read go to
// `refused`.
QList<TestToPrepare>
ReadTestsOf(const QStringList& paths,
            const std::function<std::optional<TransitionMarkers>(const QString& id)>& kept,
            QStringList* refused);

// "汇总": a campaign of taps judged, a row per test (up first, then down, by
// tap), each failing value marked with its rule in a tool tip, the plots of
// T and R1/R2 against the tap, the findings in words; judged again when
// another baseline or profile is chosen; written out as PDF, workbook, JSON
// or CSV. A double click opens the test.
class TFrmSummary : public QDialog {
    Q_OBJECT
public:
    TFrmSummary(SummaryInputs inputs, std::function<void(const QString& id)> open,
                QWidget* parent = nullptr);

    // Writes the summary to `path` by its extension (.pdf, .xlsx, .json,
    // .csv); asks for the path when it is empty. False, after saying why,
    // when it could not be written.
    bool BtnExportClick(const QString& path = {});
    const SummaryPages& Pages() const { return pages_; }
    const SummaryInputs& Inputs() const { return inputs_; }

    // The tests each tap is compared with; `from` says in words where they came from.
    void SetBaselines(QList<TestToJudge> baselines, const QString& from);
    // The tests of these files and folders (searched through) as the
    // baselines. False, after saying why, when none could be read.
    bool LoadBaselines(const QStringList& paths);
    // The tolerances and the maker's figures of a profile file. False, after
    // saying why, when it cannot be read; the profile before stays.
    bool LoadProfile(const QString& path);
    void UseDefaultProfile();

    // Writes the workbook of the summary (the export library's, which
    // builds on these windows); without it no .xlsx is offered.
    std::function<bool(const QString& path, QString* why)> writeWorkbook;
    // The baselines the archive marks for these tests; without it that
    // choice is not offered.
    std::function<QList<TestToJudge>()> archiveBaselines;
    // The markers kept for a test, by id, for baselines read from files.
    std::function<std::optional<TransitionMarkers>(const QString& id)> keptMarkers;

    QLabel *LblVerdict, *LblChoices;
    QPushButton *BtnBaseline, *BtnProfile;
    QTabWidget* Tabs;
    QTableWidget* Grid;
    SummaryPlots* Plots;
    QPlainTextEdit* MemoFindings;
    QPushButton *BtnExport, *BtnClose;

private:
    void Rejudge();
    void Fill();

    SummaryInputs inputs_;
    SummaryPages pages_;
    QString baselineFrom_, profileFrom_;
    std::function<void(const QString&)> open_;
};
