#include "GridCells.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QTableWidget>

void DrawGridCell(QPainter& painter, const QRect& cell, const QString& text, bool fixed,
                  bool selected, const QPalette& palette, const QFont& font) {
    painter.save();
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int textWidth = metrics.horizontalAdvance(text);
    // The cell proper, without the grid line to its right and below.
    const QRect inner = cell.adjusted(0, 0, -1, -1);
    // Free space halved, toward zero even when the text is wider than the cell.
    const auto left = [&](const QRect& r) { return r.left() + (r.width() - textWidth) / 2; };
    const auto top = [&](const QRect& r) { return r.top() + (r.height() - metrics.height()) / 2; };

    if (fixed) {
        painter.fillRect(cell, palette.color(QPalette::Button));
        painter.setPen(Qt::white);
        painter.drawLine(cell.topLeft(), cell.bottomLeft());
        painter.drawLine(cell.topLeft(), cell.topRight());
        painter.setPen(Qt::black);
        painter.drawLine(cell.topRight(), cell.bottomRight());
        painter.drawLine(cell.bottomLeft(), cell.bottomRight());
        painter.drawText(left(cell) - 2, top(cell) + metrics.ascent(), text);
    } else {
        painter.fillRect(cell, palette.color(QPalette::Mid));
        painter.fillRect(inner, palette.color(selected ? QPalette::Highlight : QPalette::Base));
        painter.setPen(selected ? Qt::white : Qt::black);
        painter.drawText(left(inner), top(inner) + metrics.ascent(), text);
    }
    painter.restore();
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const bool fixed = index.row() == 0 || index.column() == 0;
    const bool selected = option.state & (QStyle::State_Selected | QStyle::State_HasFocus);
    DrawGridCell(*painter, option.rect, index.data().toString(), fixed, selected && !fixed,
                 option.palette, option.font);
}

void SetupFixedGrid(QTableWidget& grid, int rows, int columns) {
    grid.setRowCount(rows);
    grid.setColumnCount(columns);
    grid.horizontalHeader()->hide();
    grid.verticalHeader()->hide();
    // The delegate draws the grid lines with the cells.
    grid.setShowGrid(false);
    grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid.setItemDelegate(new GridCellDelegate(&grid));
    grid.setFocusPolicy(Qt::StrongFocus);
}

void SetGridText(QTableWidget& grid, int row, int column, const QString& text) {
    QTableWidgetItem* item = grid.item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        if (row == 0 || column == 0)
            item->setFlags(Qt::ItemIsEnabled);
        grid.setItem(row, column, item);
    }
    item->setText(text);
}

QString GridText(const QTableWidget& grid, int row, int column) {
    const QTableWidgetItem* item = grid.item(row, column);
    return item ? item->text() : QString();
}
