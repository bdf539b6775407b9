#pragma once

#include <QPixmap>
#include <array>

inline constexpr int kHourglassSize = 32;
inline constexpr int kHourglassFrames = 4;

// The four phases of the busy animation, 32 x 32: sand runs from the upper
// bulb into the lower one.
const std::array<QPixmap, kHourglassFrames>& HourglassFrames();
// What the icon shows before the first animation step: an hourglass at rest.
const QPixmap& HourglassIcon();
