#pragma once

#include <QString>
#include <optional>

// The rules of the test parameters that the parameter panel and the
// command line's live test both apply.

// The longest tester's name and test place, in GBK bytes.
inline constexpr int kMaxNameBytes = 20;
inline constexpr int kMaxPreSamplePoints = 255;

// A number as the panel reads it (digits and at most one point): held in
// single precision, then scaled by ten in double and rounded halves to even.
std::optional<qint64> TenthsOf(const QString& text);

// The trigger threshold in 0.1 ohm: x <= 20 ohm and round(x * 10) >= 1.
std::optional<int> ThresholdTenths(const QString& text);

// Pre-trigger samples, 0..255, digits only.
std::optional<int> PreSamplePoints(const QString& text);
