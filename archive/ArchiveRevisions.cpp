// The revisions of markers and annotations, only ever added.
#include "Archive.h"

#include "ArchiveSchema.h"
#include "ArchiveSql.h"
#include "TestBody.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace archive_sql;

bool Archive::AddMarkers(const QString& id, const TransitionMarkers& markers, const QString& how,
                         const QDateTime& when) {
    ArchiveRows rows;
    rows.markers.append({id, StoredTime(when), how, MarksText(markers)});
    if (Resolve(id, 1) != QStringList{id})
        return Fail(QStringLiteral("no test %1 in the archive").arg(id));
    return Merge(rows).has_value();
}

QList<MarkerRevision> Archive::MarkerHistory(const QString& id) {
    Clear();
    QSqlQuery query(Db());
    query.prepare(QStringLiteral("SELECT set_at, how, marks FROM markers WHERE test_id = ? "
                                 "ORDER BY set_at, how, marks"));
    query.addBindValue(id);
    QList<MarkerRevision> revisions;
    if (!query.exec()) {
        Fail(QStringLiteral("the archive cannot be read"), query.lastError());
        return revisions;
    }
    while (query.next())
        if (const auto markers = MarksFromText(query.value(2).toString()))
            revisions.append({QDateTime::fromString(query.value(0).toString(), Qt::ISODateWithMs),
                              query.value(1).toString(), *markers});
    return revisions;
}

std::optional<MarkerRevision> Archive::LatestMarkers(const QString& id) {
    const QList<MarkerRevision> all = MarkerHistory(id);
    if (all.isEmpty())
        return std::nullopt;
    return all.back();
}

std::optional<Annotation> Archive::LatestAnnotation(const QString& id) {
    Clear();
    QSqlQuery query(Db());
    query.prepare(
        QStringLiteral("SELECT set_at, device, report, remark FROM annotations WHERE test_id = ? "
                       "ORDER BY set_at DESC, device DESC, report DESC, remark DESC LIMIT 1"));
    query.addBindValue(id);
    if (!query.exec()) {
        Fail(QStringLiteral("the archive cannot be read"), query.lastError());
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    return Annotation{QDateTime::fromString(query.value(0).toString(), Qt::ISODateWithMs),
                      query.value(1).toString(), query.value(2).toString(),
                      query.value(3).toString()};
}

bool Archive::Annotate(const QString& id, const AnnotationChange& change, const QDateTime& when) {
    if (Resolve(id, 1) != QStringList{id})
        return Fail(QStringLiteral("no test %1 in the archive").arg(id));
    const Annotation latest = LatestAnnotation(id).value_or(Annotation{});
    ArchiveRows rows;
    rows.annotations.append({id, StoredTime(when), change.device.value_or(latest.device),
                             change.report.value_or(latest.report),
                             change.remark.value_or(latest.remark)});
    return Merge(rows).has_value();
}

bool Archive::SetBaseline(const QString& id, bool chosen, const QDateTime& when) {
    if (Resolve(id, 1) != QStringList{id})
        return Fail(QStringLiteral("no test %1 in the archive").arg(id));
    ArchiveRows rows;
    rows.baselines.append({id, StoredTime(when), chosen});
    return Merge(rows).has_value();
}
