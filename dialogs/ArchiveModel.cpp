#include "ArchiveModel.h"

#include "Helpers.h"

#include <QCoreApplication>

void ArchiveModel::SetTests(QList<ArchivedTest> tests) {
    beginResetModel();
    tests_ = std::move(tests);
    endResetModel();
}

ArchiveFilter::Sort ArchiveModel::SortOf(int column) {
    using S = ArchiveFilter::Sort;
    static const S sorts[] = {S::Time, S::Place,  S::Device,  S::User,
                              S::Step, S::Source, S::Markers, S::Baseline};
    return column >= 0 && column < Columns ? sorts[column] : S::Time;
}

int ArchiveModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(tests_.size());
}

int ArchiveModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Columns;
}

QVariant ArchiveModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= tests_.size())
        return {};
    const ArchivedTest& t = tests_[index.row()];
    switch (index.column()) {
    case Time:
        return t.time;
    case Place:
        return t.place;
    case Device:
        return t.device;
    case User:
        return t.user;
    case Step:
        return StepText(t.step);
    case Source: {
        static const QHash<QString, QString> names = {
            {QStringLiteral("live"), QCoreApplication::translate("ArchiveModel", "现场测试")},
            {QStringLiteral("history"), QCoreApplication::translate("ArchiveModel", "历史数据")},
            {QStringLiteral("fetch"), QCoreApplication::translate("ArchiveModel", "命令行上传")},
            {QStringLiteral("file"), QCoreApplication::translate("ArchiveModel", "数据文件")},
            {QStringLiteral("import"), QCoreApplication::translate("ArchiveModel", "导入")}};
        return names.value(t.source, t.source);
    }
    case Markers:
        return t.markers ? QCoreApplication::translate("ArchiveModel", "有") : QString();
    case Baseline:
        return t.baseline ? QCoreApplication::translate("ArchiveModel", "基准") : QString();
    }
    return {};
}

QVariant ArchiveModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[] = {QT_TRANSLATE_NOOP("ArchiveModel", "测试时间"),
                                         QT_TRANSLATE_NOOP("ArchiveModel", "测试地点"),
                                         QT_TRANSLATE_NOOP("ArchiveModel", "被试设备"),
                                         QT_TRANSLATE_NOOP("ArchiveModel", "测试人员"),
                                         QT_TRANSLATE_NOOP("ArchiveModel", "分接位置"),
                                         QT_TRANSLATE_NOOP("ArchiveModel", "来源"),
                                         QT_TRANSLATE_NOOP("ArchiveModel", "标记"),
                                         QT_TRANSLATE_NOOP("ArchiveModel", "基准")};
    return section >= 0 && section < Columns
               ? QCoreApplication::translate("ArchiveModel", titles[section])
               : QVariant();
}
