#include "ChargeReadout.h"

#include <cmath>
#include <cstdlib>

qint32 ChargeReadout::Milliohms(qint32 millivolts, qint32 milliamps) {
    if (milliamps == 0)
        return 0;
    return qint32(std::nearbyint(double(millivolts) / double(milliamps) * 1000.0));
}

bool ChargeReadout::PhaseShown(const TestParams& params, int phase) {
    if (phase == 0 || params.iSwitchType == 0)
        return true;
    return params.iSwitchType == 1 && params.iTestMode == (phase == 1 ? 1 : 0);
}

QString ChargeReadout::Update(const ChargeStatus& status) {
    QStringList phases;
    for (int p = 0; p < 3; ++p) {
        previous_[p] = resistance_[p];
        resistance_[p] = Milliohms(status.millivolts[p], status.milliamps[p]);
        if (!PhaseShown(params_, p))
            continue;
        // A resistance that fell to 0 has no change rate relative to itself.
        QString rate;
        if (previous_[p] == 0)
            rate = QStringLiteral("0.00 %");
        else if (resistance_[p] == 0)
            rate = QStringLiteral("-- %");
        else
            rate = QString::asprintf("%.2f %%", std::abs(double(resistance_[p]) - previous_[p]) /
                                                    resistance_[p] * 100);
        phases << QString::asprintf("%c %.2f V %.2f A %.2f ", 'A' + p,
                                    status.millivolts[p] / 1000.0, status.milliamps[p] / 1000.0,
                                    resistance_[p] / 1000.0) +
                      QStringLiteral("Ω ") + rate;
    }
    return phases.join(QStringLiteral("  "));
}
