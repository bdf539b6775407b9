#pragma once

#include <QSize>
#include <algorithm>

// Where the main window puts its chart: the fixed rows and columns around
// it, as numbers, so that a chart drawn without the window has the size it
// has in the window.
namespace WindowLayout {
inline constexpr int kTopRow = 35;     // the command buttons
inline constexpr int kBottomRow = 107; // phase choice, spreads, rotation
inline constexpr int kSideStrip = 24;
inline constexpr int kLeftColumn = 185;  // parameters, system, cursor
inline constexpr int kRightColumn = 161; // the results of the phases
inline constexpr int kWindowWidth = 965; // the size the window opens at
inline constexpr int kWindowHeight = 752;

// The chart's size in a central area of the given size.
inline QSize ChartSize(QSize central) {
    return {std::max(0, central.width() - kSideStrip - kLeftColumn - kRightColumn - kSideStrip),
            std::max(0, central.height() - kTopRow - kBottomRow)};
}
} // namespace WindowLayout
