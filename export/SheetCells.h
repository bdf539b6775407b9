#pragma once

#include "ShownTest.h"

#include <QString>
#include <vector>

// One text of an export: row and column (or cell number within the row),
// counted from 1.
struct PlacedText {
    int row;
    int column;
    QString text;

    bool operator==(const PlacedText&) const = default;
};

// The workbook's first sheet, in the order the cells are written.
std::vector<PlacedText> SheetCells(const ShownTest& shown);

// The cells of the document template's first table, in order.
std::vector<PlacedText> DocumentCells(const ShownTest& shown);

// The rotation as both exports write it: "转角: %s 圈 %s 度".
QString RotationText(const ShownTest& shown);
