#pragma once

#include "ReportPage.h"

#include <QString>

class QCPPainter;
class QPrinter;

// Draws the page with a painter on any device whose origin is the paper's
// top-left corner (a full-page printer, a PDF writer without margins, the
// preview, an image): millimetres map to the device's resolution, so every
// device gets the same page. The painter is the chart library's, which the
// chart needs to draw itself as vectors.
void PaintReport(QCPPainter& painter, const ReportPage& page);

// Sets a printer to the report's paper: A4 portrait with the report's
// margins, painted from the paper's corner (full page), and the job name.
void PrepareReportPrinter(QPrinter& printer, const ReportPage& page);

// Writes the page as a one-page PDF that embeds its fonts. The file is
// replaced only once it is whole; false and the reason when it could not be.
bool WriteReportPdf(const QString& path, const ReportPage& page, QString* error = nullptr);

// The same PDF in memory.
QByteArray ReportPdf(const ReportPage& page);
