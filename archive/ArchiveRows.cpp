// What a sync copies: the rows of some tests, and merging them in.
#include "Archive.h"

#include "ArchiveSchema.h"
#include "ArchiveSql.h"
#include "TestBody.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace archive_sql;

bool Archive::Refresh(const QStringList& ids) {
    for (qsizetype start = 0; start < ids.size(); start += kBatch) {
        const QStringList some = ids.mid(start, kBatch);
        QSqlQuery query(Db());
        query.prepare(RefreshLatestSql(QStringLiteral("id IN (%1)").arg(Placeholders(some.size())),
                                       kSchemaVersion));
        for (const QString& id : some)
            query.addBindValue(id);
        if (!query.exec())
            return Fail(QStringLiteral("the archive cannot be written"), query.lastError());
    }
    return true;
}

QStringList Archive::Ids(const ArchiveFilter& filter) {
    ArchiveFilter byId = filter;
    byId.sort = ArchiveFilter::Sort::Id;
    byId.descending = false;
    QStringList ids;
    for (const ArchivedTest& t : List(byId))
        ids << t.id;
    return ids;
}

std::optional<ArchiveRows> Archive::Rows(const QStringList& ids, bool withTests) {
    Clear();
    ArchiveRows rows;
    if (ids.isEmpty())
        return rows;
    const QString in = Placeholders(ids.size());
    const auto run = [&](const QString& sql, auto each) {
        QSqlQuery query(Db());
        query.setForwardOnly(true);
        query.prepare(sql.arg(in));
        for (const QString& id : ids)
            query.addBindValue(id);
        if (!query.exec())
            return Fail(QStringLiteral("the archive cannot be read"), query.lastError());
        while (query.next())
            each(query);
        return true;
    };
    const bool ok =
        (!withTests ||
         run(QStringLiteral("SELECT t.id, b.body, t.test_time, t.user_name, t.place, t.step, "
                            "t.switch_type, t.test_mode, t.sample_length, t.charge_time, "
                            "t.series_type, t.sample_burst, t.sample_point, t.source, t.added, "
                            "t.file FROM tests t JOIN bodies b ON b.id = t.id WHERE t.id IN (%1)"),
             [&](QSqlQuery& q) {
                 ArchiveRows::Test t;
                 t.id = q.value(0).toString();
                 t.packed = q.value(1).toByteArray();
                 t.time = q.value(2).toString();
                 t.user = q.value(3).toString();
                 t.place = q.value(4).toString();
                 t.step = q.value(5).toInt();
                 t.switchType = q.value(6).toInt();
                 t.testMode = q.value(7).toInt();
                 t.sampleLength = q.value(8).toInt();
                 t.chargeTime = q.value(9).toInt();
                 t.seriesType = q.value(10).toInt();
                 t.sampleBurst = q.value(11).toInt();
                 t.samplePoint = q.value(12).toInt();
                 t.source = q.value(13).toString();
                 t.added = q.value(14).toString();
                 t.file = q.value(15).toString();
                 rows.tests.append(std::move(t));
             })) &&
        run(QStringLiteral("SELECT test_id, seen, source, file FROM sightings "
                           "WHERE test_id IN (%1)"),
            [&](QSqlQuery& q) {
                rows.sightings.append({q.value(0).toString(), q.value(1).toString(),
                                       q.value(2).toString(), q.value(3).toString()});
            }) &&
        run(QStringLiteral("SELECT test_id, set_at, how, marks FROM markers WHERE test_id IN (%1)"),
            [&](QSqlQuery& q) {
                rows.markers.append({q.value(0).toString(), q.value(1).toString(),
                                     q.value(2).toString(), q.value(3).toString()});
            }) &&
        run(QStringLiteral("SELECT test_id, set_at, device, report, remark FROM annotations "
                           "WHERE test_id IN (%1)"),
            [&](QSqlQuery& q) {
                rows.annotations.append({q.value(0).toString(), q.value(1).toString(),
                                         q.value(2).toString(), q.value(3).toString(),
                                         q.value(4).toString()});
            }) &&
        run(QStringLiteral("SELECT test_id, set_at, chosen FROM baselines WHERE test_id IN (%1)"),
            [&](QSqlQuery& q) {
                rows.baselines.append(
                    {q.value(0).toString(), q.value(1).toString(), q.value(2).toInt() != 0});
            });
    if (!ok)
        return std::nullopt;
    return rows;
}

std::optional<int> Archive::Merge(const ArchiveRows& rows) {
    Clear();
    if (!Begin())
        return std::nullopt;
    int added = 0;
    QStringList touched;
    const auto insert = [&](const QString& sql, const QVariantList& values) {
        QSqlQuery query(Db());
        query.prepare(sql);
        for (const QVariant& v : values)
            query.addBindValue(Bound(v));
        if (!query.exec())
            return Fail(QStringLiteral("the archive cannot be written"), query.lastError()), -1;
        return query.numRowsAffected();
    };
    const QString tests =
        QStringLiteral("INSERT INTO tests (%1) VALUES (%2) ON CONFLICT DO NOTHING")
            .arg(kTestColumns, Placeholders(15));
    for (const ArchiveRows::Test& t : rows.tests) {
        // Bytes that do not give their id back are never taken in.
        const QByteArray bytes = UnpackTest(t.packed);
        if (bytes.isEmpty() || TestId(bytes) != t.id)
            return Rollback(), Fail(QStringLiteral("test %1 arrived damaged").arg(t.id)),
                   std::nullopt;
        const int n = insert(tests, {t.id, t.time, t.user, t.place, t.step, t.switchType,
                                     t.testMode, t.sampleLength, t.chargeTime, t.seriesType,
                                     t.sampleBurst, t.samplePoint, t.source, t.added, t.file});
        if (n < 0 || (n == 1 && insert(QStringLiteral("INSERT INTO bodies (id, body) VALUES (?, ?) "
                                                      "ON CONFLICT DO NOTHING"),
                                       {t.id, t.packed}) < 0))
            return Rollback(), std::nullopt;
        added += n;
    }
    for (const ArchiveRows::Sighting& s : rows.sightings)
        if (insert(QStringLiteral("INSERT INTO sightings (test_id, seen, source, file) "
                                  "VALUES (?, ?, ?, ?) ON CONFLICT DO NOTHING"),
                   {s.id, s.seen, s.source, s.file}) < 0)
            return Rollback(), std::nullopt;
    for (const ArchiveRows::Markers& m : rows.markers) {
        if (!MarksFromText(m.marks))
            return Rollback(), Fail(QStringLiteral("markers of %1 arrived damaged").arg(m.id)),
                   std::nullopt;
        if (insert(QStringLiteral("INSERT INTO markers (test_id, set_at, how, marks) "
                                  "VALUES (?, ?, ?, ?) ON CONFLICT DO NOTHING"),
                   {m.id, m.setAt, m.how, m.marks}) < 0)
            return Rollback(), std::nullopt;
        touched << m.id;
    }
    for (const ArchiveRows::Note& a : rows.annotations) {
        if (insert(QStringLiteral("INSERT INTO annotations (test_id, set_at, device, report, "
                                  "remark) VALUES (?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"),
                   {a.id, a.setAt, a.device, a.report, a.remark}) < 0)
            return Rollback(), std::nullopt;
        touched << a.id;
    }
    for (const ArchiveRows::Baseline& b : rows.baselines) {
        if (insert(QStringLiteral("INSERT INTO baselines (test_id, set_at, chosen) "
                                  "VALUES (?, ?, ?) ON CONFLICT DO NOTHING"),
                   {b.id, b.setAt, b.chosen ? 1 : 0}) < 0)
            return Rollback(), std::nullopt;
        touched << b.id;
    }
    touched.removeDuplicates();
    if (!Refresh(touched) || !Commit())
        return Rollback(), std::nullopt;
    return added;
}
