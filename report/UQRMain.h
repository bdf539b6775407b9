#pragma once

#include "ReportPage.h"
#include "ShownTest.h"

// The report's title: the print job's name and the preview's caption.
// The title of the printed page.
QString ReportTitle();

// The one A4 page of a test as the window shows it: parameters, chart with
// its markers and phase scales, results, spreads, rotation and footer.
ReportPage ReportFill(const ShownTest& shown);
