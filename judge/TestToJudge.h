#pragma once

#include "Judge.h"

// A test ready for the judge: by the markers kept for it when there are
// some (a phase counts as holding a transition when its markers are set),
// else by those the marker finder places.
TestToJudge PrepareTest(std::shared_ptr<const TestRecord> record, const QString& id,
                        const QString& file,
                        const std::optional<TransitionMarkers>& kept = std::nullopt);

struct TestToPrepare {
    std::shared_ptr<const TestRecord> record;
    QString id, file;
    std::optional<TransitionMarkers> kept;
};

// PrepareTest of many, the finder's work spread over the machine's cores.
QList<TestToJudge> PrepareTests(const QList<TestToPrepare>& tests);
