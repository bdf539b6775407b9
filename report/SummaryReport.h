#pragma once

#include "SummaryTable.h"

#include <QByteArray>
#include <QHash>
#include <memory>

// The summary of a campaign as printed pages: the heading, per direction
// the table of every tap with the failing values marked, plots of T and of
// R1/R2 against the tap (one line per phase, the baseline dashed), the
// findings in words, and the waveforms of each failing test with their
// markers. Drawn to read in black and white: phases told apart by line
// style and mark, failing values boxed.
struct SummaryPages {
    JudgedCampaign campaign;
    SummaryHeading heading;
    QList<JudgedTest> baselines;
    // The samples of the tests, by id, for the pictures of failing ones.
    QHash<QString, std::shared_ptr<const TestRecord>> records;
};

// What a summary is judged from, kept so that it can be judged again with
// another profile or baseline.
struct SummaryInputs {
    QList<TestToJudge> tests, baselines;
    JudgeProfile profile;
    QString device; // what the tests are of, when known
};

// The campaign judged, with its heading, its baselines' values and the
// tests' samples.
SummaryPages JudgeSummary(const SummaryInputs& inputs);

QByteArray SummaryPdf(const SummaryPages& pages);
bool WriteSummaryPdf(const QString& path, const SummaryPages& pages, QString* error = nullptr);
