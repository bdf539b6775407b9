#pragma once

#include "ChargeValues.h"
#include "Responses.h"
#include "TestRecord.h"

#include <QString>
#include <array>

// What the charging window shows of each status poll, as one line: voltage,
// current, resistance and its change since the poll before, for the phases
// the switch type and test mode charge.
class ChargeReadout {
public:
    explicit ChargeReadout(const TestParams& params);

    // Takes one poll's values and returns them as one line, phases apart,
    // e.g. "A 10.00 V 0.10 A 100.00 Ω 0.00 %".
    QString Update(const ChargeStatus& status);

private:
    std::array<bool, 3> shown_;
    std::array<PhaseReading, 3> readings_{};
};
