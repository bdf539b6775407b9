#include "ChargeReadout.h"

#include "Analysis.h"

#include <QStringList>

ChargeReadout::ChargeReadout(const TestParams& params)
    : shown_(DrawnPhases(params.iSwitchType, params.iTestMode)) {}

QString ChargeReadout::Update(const ChargeStatus& status) {
    QStringList phases;
    for (int p = 0; p < 3; ++p) {
        TakeReading(readings_[p], status.millivolts[p], status.milliamps[p]);
        if (shown_[p])
            phases << QChar(u'A' + p) + u' ' + ReadingTexts(readings_[p]).join(u' ');
    }
    return phases.join(QStringLiteral("  "));
}
