#pragma once

#include "ReportPage.h"

#include <QPointer>
#include <QString>
#include <memory>

class QPrinter;
class QWidget;
class TFrmPreview;

// The report object of the main window: it lives as long as the window and
// keeps the printer setup from one preview to the next.
class TQRMain {
public:
    TQRMain();
    ~TQRMain();

    // Takes `page` as the report's content, then shows it in a new preview
    // and returns when the preview is closed, events flowing meanwhile.
    // While a preview is open already the content is taken all the same,
    // but no second preview is started (false, at once) and the open one
    // keeps the page it shows.
    bool Preview(const ReportPage& page, const QString& pdfFolder, QWidget* parent = nullptr);

    // The content as the last fill left it.
    const ReportPage& Page() const { return page_; }
    bool Previewing() const;
    TFrmPreview* OpenPreview() const;
    QPrinter& Printer() { return *printer_; }

private:
    std::unique_ptr<QPrinter> printer_;
    ReportPage page_;
    QPointer<TFrmPreview> preview_;
};
