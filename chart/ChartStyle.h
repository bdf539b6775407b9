#pragma once

#include <QColor>
#include <QString>

// The colours of the phases (1 A yellow, 2 B green, 3 C red) and of the
// dotted markers, on the screen and on paper alike.
QColor PhaseColor(int phase);
QColor MarkerColor();

// The series names: 0..2 SeriesA..SeriesC, 3..14 SeriesAT1..SeriesCT4.
QString SeriesName(int index);

// Families that are really installed for the names the program asks for:
// "宋体" (else a CJK family, the window's font), "Arial" (else the
// metric-compatible Liberation Sans) and "MS Sans Serif" (else its outline
// successor, else Arial's stand-in). Asking for a missing name costs a font
// lookup on every text layout.
QString SongtiFamily();
QString ArialFamily();
QString SansSerifFamily();
