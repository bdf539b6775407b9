#pragma once

#include "Analysis.h"

#include <QString>
#include <vector>

// One read-only box of the results panel: the control's name and its text.
struct ResultBox {
    const char* name;
    QString text;
};

// The 26 boxes in the order the panel fills them: phases A, B, C (T1 T2 T3
// T R1 R2 each), then EdtDT1 EdtDT2 EdtDT3 EdtDT EdtDR1 EdtDR2, EdtLoop,
// EdtAngle. Times show one decimal in ms, resistances two in ohm.
std::vector<ResultBox> ResultBoxTexts(const TransitionResults& results);
