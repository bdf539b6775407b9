#include "ChargeValues.h"

#include <cmath>
#include <cstdlib>

qint32 ResistanceOf(qint32 millivolts, qint32 milliamps) {
    if (milliamps == 0)
        return 0;
    return qint32(std::nearbyint(double(millivolts) / milliamps * 1000.0));
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
