#pragma once

#include <QtGlobal>
#include <array>
#include <optional>
#include <vector>

// A second generator of captures, written apart from the simulator's so
// that the finder is not only measured on the world it was tuned on:
// other edge models (logistic, second-order with overshoot), the bridging
// level as the two branches in parallel, coloured and heavy-tailed noise,
// 50 Hz ripple with a harmonic, curved drift, contact chatter at levels in
// between, and its own shapes that are no transition.
enum OtherFamily {
    OtherLogistic,
    OtherSecondOrder,
    OtherColoured,
    OtherChatter,
    OtherNone,
    kOtherFamilies
};
inline const char* const kOtherFamilyNames[kOtherFamilies] = {
    "logistic", "2nd-order", "coloured noise", "chatter", "no transition"};

struct OtherCapture {
    std::vector<qint32> samples;             // 2688, 0.01 ohm
    std::optional<std::array<int, 4>> truth; // 1-based; none: no transition
};

// Noise as a share (percent) of the smallest level step.
OtherCapture MakeOtherCapture(int family, quint32 seed, double noisePercent);
