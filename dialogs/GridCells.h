#pragma once

#include <QRect>
#include <QString>
#include <QStyledItemDelegate>

class QFont;
class QPainter;
class QPalette;
class QTableWidget;

// One cell of the dialogs' grids. `cell` is the cell's whole section, the
// grid line at its right and bottom included: data cells leave that line to
// the grid colour, fixed cells cover it with their raised edge.
void DrawGridCell(QPainter& painter, const QRect& cell, const QString& text, bool fixed,
                  bool selected, const QPalette& palette, const QFont& font);

// Draws every cell with DrawGridCell; row 0 and column 0 are the fixed ones.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// A read-only grid of `rows` x `columns` with a fixed first row and column,
// no headers of its own and cells drawn by GridCellDelegate.
void SetupFixedGrid(QTableWidget& grid, int rows, int columns);
// Puts a text into a cell, creating its item; fixed cells cannot be selected.
void SetGridText(QTableWidget& grid, int row, int column, const QString& text);
QString GridText(const QTableWidget& grid, int row, int column);
