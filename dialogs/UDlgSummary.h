#pragma once

#include "SummaryReport.h"

#include <QDialog>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// "汇总": a campaign of taps judged, a row per test (up first, then down, by
// tap), each failing value marked with its rule in a tool tip, the findings
// in words; written out as JSON, CSV or PDF. A double click opens the test.
class TFrmSummary : public QDialog {
    Q_OBJECT
public:
    TFrmSummary(SummaryPages pages, std::function<void(const QString& id)> open,
                QWidget* parent = nullptr);

    // Writes the summary to `path` by its extension (.json, .csv, .pdf);
    // asks for the path when it is empty. False, after saying why, when it
    // could not be written.
    bool BtnExportClick(const QString& path = {});
    const SummaryPages& Pages() const { return pages_; }

    // Writes the workbook of the summary (the export library's, which
    // builds on these windows); without it no .xlsx is offered.
    std::function<bool(const QString& path, QString* why)> writeWorkbook;

    QLabel* LblVerdict;
    QTableWidget* Grid;
    QPlainTextEdit* MemoFindings;
    QPushButton *BtnExport, *BtnClose;

private:
    SummaryPages pages_;
    std::function<void(const QString&)> open_;
};
