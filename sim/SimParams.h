#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <optional>

// The test parameters as the tester takes them from a 0xF4 request.
struct SimParams {
    quint8 switchType = 0;     // 0 neutral brought out, 1 not
    quint8 testMode = 0;       // 0 or 1
    quint8 testStep = 0;       // 0..197
    quint8 threshold = 1;      // trigger threshold, 0.1 ohm
    quint8 preTrigger = 0;     // samples before the trigger
    quint8 filterCode = 10;    // 0, 5, 10 or 20
    quint8 chargeSeconds = 10; // 0 manual, else 5..95 in steps of 5
    bool resistanceWave = false;

    // The list position the filter code stands for: 0 none .. 3 high.
    int FilterIndex() const;

    bool operator==(const SimParams&) const = default;
};

// Decodes bytes 1..7 of the request; nullopt, and why, when a field is out
// of what the tester accepts.
std::optional<SimParams> DecodeParams(QByteArrayView request, QString* why = nullptr);
