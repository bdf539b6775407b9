#pragma once

#include <QIcon>

enum class ToolIcon { Fit, Actual, Width, First, Prior, Next, Last, Setup, Print, Pdf, Exit };

// The preview's tool bar icons, drawn in code so that no image files ship.
QIcon MakeToolIcon(ToolIcon kind);
