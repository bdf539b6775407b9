#pragma once

#include "Judge.h"

#include <QByteArray>

// What the campaign is of, for the summary's heading.
struct SummaryHeading {
    QString place, device, user;
    QString from, to; // the tests' own times, first and last
};

SummaryHeading HeadingOf(const JudgedCampaign& campaign, const QString& device = {});

// The campaign as JSON: the heading, each test with its phases (only those
// drawn), spreads over the drawn phases, verdict and findings, the notes
// and the overall verdict. Times in ms, resistances in ohm.
QByteArray SummaryJson(const JudgedCampaign& campaign, const SummaryHeading& heading);

// One header row and a row per test; numbers as numbers, a column per
// phase value, the verdict and the findings' texts.
QByteArray SummaryCsv(const JudgedCampaign& campaign);

// The spread of a value over the phases that hold a transition.
struct Spreads {
    double dT1 = 0, dT2 = 0, dT3 = 0, dT0 = 0, dR1 = 0, dR2 = 0;
};
Spreads SpreadsOf(const JudgedTest& test);
