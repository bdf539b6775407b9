#pragma once

#include "Responses.h"
#include "TestRecord.h"

#include <QString>
#include <QStringList>
#include <array>

// What the charging window shows of each status poll: voltage, current,
// resistance and its change since the poll before, for the phases the
// switch type and test mode charge.
class ChargeReadout {
public:
    explicit ChargeReadout(const TestParams& params) : params_(params) {}

    // Takes one poll's values and returns them as one line, phases apart,
    // e.g. "A 10.00 V 0.10 A 100.00 Ω 0.00 %".
    QString Update(const ChargeStatus& status);

    // Resistance in mΩ: mV / mA * 1000, rounded to nearest, halves to even; 0 without current.
    static qint32 Milliohms(qint32 millivolts, qint32 milliamps);
    static bool PhaseShown(const TestParams& params, int phase); // 0 A, 1 B, 2 C

private:
    TestParams params_;
    std::array<qint32, 3> resistance_{};
    std::array<qint32, 3> previous_{};
};
