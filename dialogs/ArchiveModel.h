#pragma once

#include "Archive.h"

#include <QAbstractTableModel>

// The rows of an archive list, as the archive window shows them.
class ArchiveModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Place, Device, User, Step, Source, Markers, Baseline, Columns };
    using QAbstractTableModel::QAbstractTableModel;

    void SetTests(QList<ArchivedTest> tests);
    const ArchivedTest& TestAt(int row) const { return tests_.at(row); }

    // The archive's order for a column.
    static ArchiveFilter::Sort SortOf(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<ArchivedTest> tests_;
};
