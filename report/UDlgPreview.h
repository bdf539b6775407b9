#pragma once

#include "ReportPage.h"

#include <QWidget>
#include <functional>

class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QToolButton;

// What the preview asks the system for; tests replace these.
struct PreviewSeams {
    // The print-setup dialog on `printer`, its page range within 1..`pages`:
    // true when confirmed (the dialog stores its choices in the printer),
    // false and untouched when cancelled.
    std::function<bool(QWidget* parent, QPrinter& printer, int pages)> printSetup;
    // The PDF file to write, proposed `proposed`; empty when cancelled.
    std::function<QString(QWidget* parent, const QString& proposed)> pdfPath;
    // Whether the system has a printer at all.
    std::function<bool()> hasPrinter;
};
PreviewSeams& PreviewDialogs();

// Keeps a printer's page range within 1..`pages`: a range beyond the last
// page becomes the last, so a print never leaves out every page.
void LimitPageRange(QPrinter& printer, int pages);

// The report's preview: zoom, page navigation, printer setup, printing, a
// PDF of the page and closing. Destroyed when closed.
class TFrmPreview : public QWidget {
    Q_OBJECT
public:
    // `settings` is the report's printer, which keeps its setup between
    // previews; `pdfFolder` is where a PDF is proposed.
    TFrmPreview(const ReportPage& page, QPrinter& settings, const QString& pdfFolder,
                QWidget* parent = nullptr);
    ~TFrmPreview() override;

    const ReportPage& Page() const { return page_; }
    int TotalPages = 0;
    int CurrentPage() const;
    QString StatusText() const;

    void tbZToFitClick();
    void tb100Click();
    void tbZToWidthClick();
    void tbFirstClick();
    void tbPriorClick();
    void tbNextClick();
    void tbLastClick();
    void tbPrinterSetupClick();
    void tbPrinterClick();
    void tbSavePdfClick();

    QPrintPreviewWidget* QRPreview1;
    QToolButton *tbZToFit, *tb100, *tbZToWidth, *tbFirst, *tbPrior, *tbNext, *tbLast,
        *tbPrinterSetup, *tbPrinter, *tbSavePdf, *tbExit;
    QLabel* PageStatus;

private:
    void PagesAvailable();
    void GoTo(int page);
    int Pages() const; // the pages a print may choose from
    bool PrinterThere();

    ReportPage page_;
    QPrinter& settings_;
    QString pdfFolder_;
    std::unique_ptr<QPrinter> previewPrinter_;
};
