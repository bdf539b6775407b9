#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <optional>

// What a charging read-out knows of one phase; every value starts at 0.
// The phases shown are those the chart draws (DrawnPhases).
struct PhaseReading {
    qint32 voltage = 0;    // mV
    qint32 current = 0;    // mA
    qint32 resistance = 0; // mOhm
    qint32 previous = 0;   // mOhm, the poll before
};

// voltage / current x 1000 in mOhm, to nearest with halves to even; 0 when
// no current flows.
qint32 ResistanceOf(qint32 millivolts, qint32 milliamps);

// Takes one poll's voltage and current: the resistance moves to `previous`.
void TakeReading(PhaseReading& reading, qint32 millivolts, qint32 milliamps);

// |new - previous| / new x 100, relative to the new value; 0 while there is
// no previous value. A new resistance of 0 after a real one has no rate.
std::optional<double> ChangeRate(qint32 resistance, qint32 previous);

// The four rows of a shown column: voltage, current, resistance, change
// rate. Without a rate the last row reads "-- %".
QStringList ReadingTexts(const PhaseReading& reading);
