#pragma once

#include "Judge.h"

#include <QList>
#include <QRectF>

class QPainter;

// Phases told apart in black and white: by line style, and by mark.
inline constexpr Qt::PenStyle kPhaseLineStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};

// T1, T2, T3, T, R1, R2 of a phase by index.
double PhaseValue(const PhaseValues& phase, int index);

// The painter is scaled to millimetres; a font's points would be scaled
// too, so they are given for a device of `resolution` dots per inch.
void SetPlotFont(QPainter& painter, double resolution, double points, bool bold = false);

// A picture's frame and its title above it.
void DrawPlotFrame(QPainter& painter, double resolution, QRectF box, const QString& title);

enum class SummaryPlotKind { Time, Resistance };

// T (or R1 and R2) against the tap step of the tests of one direction, a
// line per phase, the baselines' dashed grey; in millimetres, titled above
// `box`, the key above its right end.
void DrawSummaryPlot(QPainter& painter, double resolution, QRectF box,
                     const QList<const JudgedTest*>& tests, const QList<JudgedTest>& baselines,
                     SummaryPlotKind kind, bool up);
