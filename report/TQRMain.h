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

    // Shows the page in a new preview and returns when the preview is
    // closed, events flowing meanwhile. False, at once, while a preview is
    // open already: no second one is started.
    bool Preview(const ReportPage& page, const QString& pdfFolder, QWidget* parent = nullptr);

    bool Previewing() const;
    TFrmPreview* OpenPreview() const;
    QPrinter& Printer() { return *printer_; }

private:
    std::unique_ptr<QPrinter> printer_;
    QPointer<TFrmPreview> preview_;
};
