#include "SimParams.h"

int SimParams::FilterIndex() const {
    switch (filterCode) {
    case 5:
        return 1;
    case 10:
        return 2;
    case 20:
        return 3;
    default:
        return 0;
    }
}

std::optional<SimParams> DecodeParams(QByteArrayView request, QString* why) {
    auto at = [&](qsizetype i) { return i < request.size() ? quint8(request[i]) : quint8(0); };
    auto refuse = [&](const QString& text) -> std::optional<SimParams> {
        if (why)
            *why = text;
        return std::nullopt;
    };
    SimParams p;
    p.switchType = at(1);
    p.testMode = at(2);
    p.testStep = at(3);
    p.threshold = at(4);
    p.preTrigger = at(5);
    p.filterCode = at(6);
    p.chargeSeconds = at(7) & 0x7F;
    p.resistanceWave = (at(7) & 0x80) != 0;
    if (p.switchType > 1)
        return refuse(QStringLiteral("switch type %1").arg(p.switchType));
    if (p.testMode > 1)
        return refuse(QStringLiteral("test mode %1").arg(p.testMode));
    if (p.testStep > 197)
        return refuse(QStringLiteral("tap step %1").arg(p.testStep));
    if (p.threshold < 1 || p.threshold > 200)
        return refuse(QStringLiteral("threshold %1").arg(p.threshold));
    if (p.filterCode != 0 && p.filterCode != 5 && p.filterCode != 10 && p.filterCode != 20)
        return refuse(QStringLiteral("filter code %1").arg(p.filterCode));
    if (p.chargeSeconds % 5 != 0 || p.chargeSeconds > 95)
        return refuse(QStringLiteral("charge time %1 s").arg(p.chargeSeconds));
    return p;
}
