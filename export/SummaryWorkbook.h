#pragma once

#include "ExportResult.h"
#include "SummaryTable.h"

// The summary of a campaign as a workbook: a sheet per direction with the
// heading, a row per tap (numbers as numbers, failing values marked, the
// verdict and the findings), and line charts of T and of R1/R2 against the
// tap, a line per phase. Written through a temporary file: on failure
// nothing at `path` changes.
ExportResult WriteSummaryWorkbook(const JudgedCampaign& campaign, const SummaryHeading& heading,
                                  const QString& path);
