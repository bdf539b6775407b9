#include "ChargeValues.h"

#include <cmath>
#include <cstdlib>

qint32 ResistanceOf(qint32 millivolts, qint32 milliamps) {
    if (milliamps == 0)
        return 0;
    // In integers: an exact half (161 mV / 80 mA = 2012.5 mOhm) must round to
    // even, which the quotient in floating point cannot always tell.
    qint64 n = qint64(millivolts) * 1000;
    qint64 d = milliamps;
    if (d < 0) {
        n = -n;
        d = -d;
    }
    qint64 q = n / d;
    qint64 r = n % d;
    if (r < 0) {
        q -= 1;
        r += d;
    }
    if (2 * r > d || (2 * r == d && (q & 1) != 0))
        ++q;
    return qint32(q);
}

void TakeReading(PhaseReading& reading, qint32 millivolts, qint32 milliamps) {
    reading.voltage = millivolts;
    reading.current = milliamps;
    reading.previous = reading.resistance;
    reading.resistance = ResistanceOf(millivolts, milliamps);
}

std::optional<double> ChangeRate(qint32 resistance, qint32 previous) {
    if (previous == 0)
        return 0.0;
    if (resistance == 0)
        return std::nullopt;
    return std::abs(double(resistance) - double(previous)) / resistance * 100.0;
}

QStringList ReadingTexts(const PhaseReading& reading) {
    const std::optional<double> rate = ChangeRate(reading.resistance, reading.previous);
    return {
        QString::asprintf("%.2f V", reading.voltage / 1000.0),
        QString::asprintf("%.2f A", reading.current / 1000.0),
        QString::asprintf("%.2f ", reading.resistance / 1000.0) + QChar(0x03A9),
        rate ? QString::asprintf("%.2f %%", *rate) : QStringLiteral("-- %"),
    };
}
