#include "Archive.h"

#include "ArchiveSchema.h"
#include "ArchiveSql.h"
#include "TestBody.h"
#include "TestFile.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

using namespace archive_sql;

namespace {

QAtomicInt connections;

} // namespace

QString SourceName(TestSource source) {
    switch (source) {
    case TestSource::Live:
        return QStringLiteral("live");
    case TestSource::History:
        return QStringLiteral("history");
    case TestSource::Fetch:
        return QStringLiteral("fetch");
    case TestSource::File:
        return QStringLiteral("file");
    case TestSource::Import:
        return QStringLiteral("import");
    }
    return {};
}

QString StoredTime(const QDateTime& moment) {
    return moment.toUTC().toString(Qt::ISODateWithMs);
}

QString MarksText(const TransitionMarkers& markers) {
    QStringList values;
    for (const auto& phase : markers.phase)
        for (int t : phase)
            values << QString::number(t);
    return values.join(u' ');
}

std::optional<TransitionMarkers> MarksFromText(const QString& text) {
    const QStringList values = text.split(u' ', Qt::SkipEmptyParts);
    if (values.size() != 12)
        return std::nullopt;
    TransitionMarkers markers;
    for (int i = 0; i < 12; ++i) {
        bool ok = false;
        const int t = values[i].toInt(&ok);
        if (!ok || t < 0 || t > kSampleCount)
            return std::nullopt;
        markers.phase[i / 4][i % 4] = t;
    }
    return markers;
}

Archive::Archive(ArchiveLocation location, QString connection)
    : location_(std::move(location)), connection_(std::move(connection)),
      postgres_(location_.kind == ArchiveLocation::Kind::Postgres) {}

Archive::~Archive() {
    {
        QSqlDatabase db = Db();
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

QSqlDatabase Archive::Db() const {
    return QSqlDatabase::database(connection_, false);
}

std::unique_ptr<Archive> Archive::Open(const ArchiveLocation& location, QString* why,
                                       Failure* failure) {
    const QString name = QStringLiteral("oltc-archive-%1").arg(connections.fetchAndAddRelaxed(1));
    std::unique_ptr<Archive> archive(new Archive(location, name));
    if (!archive->Ready(why, failure))
        return nullptr;
    return archive;
}

bool Archive::Ready(QString* why, Failure* failure) {
    const auto refuse = [&](Failure kind, const QString& reason) {
        if (why)
            *why = reason;
        if (failure)
            *failure = kind;
        return false;
    };
    const bool sqlite = !postgres_;
    const QString driver = sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
    if (!QSqlDatabase::isDriverAvailable(driver))
        return refuse(Failure::Unusable,
                      QStringLiteral("the database driver %1 is not installed").arg(driver));
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, connection_);
    if (sqlite) {
        const QFileInfo file(location_.path);
        if (file.exists() && !file.isFile())
            return refuse(Failure::Unusable, QStringLiteral("not a regular file"));
        db.setDatabaseName(location_.path);
        // Another program writing at the same moment is waited for, briefly.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    } else {
        db.setHostName(location_.host);
        if (location_.port > 0)
            db.setPort(location_.port);
        db.setUserName(location_.user);
        db.setPassword(location_.password);
        db.setDatabaseName(location_.database);
        // A server that does not answer fails within seconds, not never.
        db.setConnectOptions(
            QStringLiteral("connect_timeout=5;keepalives=1;keepalives_idle=5;keepalives_interval=2;"
                           "keepalives_count=3;tcp_user_timeout=10000;application_name=oltc"));
    }
    if (!db.open())
        return refuse(sqlite ? Failure::Unusable : Failure::Server,
                      db.lastError().databaseText().isEmpty() ? db.lastError().text()
                                                              : db.lastError().databaseText());
    if (!CreateOrMigrate())
        return refuse(failure_ == Failure::None ? Failure::Unusable : failure_, error_);
    if (sqlite) {
        QSqlQuery wal(db);
        wal.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        wal.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
        // A list scans every test's row: keep them in memory, not re-read.
        wal.exec(QStringLiteral("PRAGMA cache_size=-65536"));
        wal.exec(QStringLiteral("PRAGMA mmap_size=268435456"));
    }
    return true;
}

bool Archive::Fail(const QString& what, const QSqlError& error) {
    error_ = what + QStringLiteral(": ") +
             (error.databaseText().isEmpty() ? error.text() : error.databaseText());
    failure_ = Failure::Unusable;
    if (postgres_) {
        // Whether the statement failed or the server went away.
        QSqlQuery probe(Db());
        if (!probe.exec(QStringLiteral("SELECT 1")))
            failure_ = Failure::Server;
    }
    return false;
}

void Archive::Clear() {
    error_.clear();
    failure_ = Failure::None;
}

bool Archive::Fail(const QString& what) {
    error_ = what;
    failure_ = Failure::Unusable;
    return false;
}

bool Archive::Exec(const QString& sql) {
    QSqlQuery query(Db());
    return query.exec(sql) ||
           Fail(QStringLiteral("the archive cannot be written"), query.lastError());
}

bool Archive::Begin() {
    // An SQLite writer takes its lock at once, so two writers queue instead
    // of failing when one would upgrade its lock.
    return Exec(postgres_ ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
}

bool Archive::Commit() {
    if (Exec(QStringLiteral("COMMIT")))
        return true;
    Rollback();
    return false;
}

void Archive::Rollback() {
    QSqlQuery(Db()).exec(QStringLiteral("ROLLBACK"));
}

bool Archive::CreateOrMigrate() {
    QSqlDatabase db = Db();
    // Asked of the catalogue first: a failed statement would end a
    // PostgreSQL transaction.
    const auto tables = [&](const QString& name, bool* any) -> std::optional<bool> {
        QSqlQuery query(db);
        const QString sql =
            postgres_ ? QStringLiteral("SELECT table_name FROM information_schema.tables "
                                       "WHERE table_schema = current_schema()")
                      : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'");
        if (!query.exec(sql))
            return Fail(QStringLiteral("not an archive, or damaged"), query.lastError()),
                   std::nullopt;
        bool found = false;
        *any = false;
        while (query.next()) {
            *any = true;
            found = found || query.value(0).toString() == name;
        }
        return found;
    };
    // -1: not an archive; 0: empty; else the schema version.
    const auto version = [&]() -> std::optional<int> {
        bool any = false;
        const auto meta = tables(QStringLiteral("meta"), &any);
        if (!meta)
            return std::nullopt;
        if (!*meta)
            return any ? -1 : 0;
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT key, value FROM meta")))
            return Fail(QStringLiteral("not an archive, or damaged"), query.lastError()),
                   std::nullopt;
        QString format;
        int found = -1;
        while (query.next()) {
            if (query.value(0).toString() == u"format")
                format = query.value(1).toString();
            else if (query.value(0).toString() == u"schema_version")
                found = query.value(1).toInt();
        }
        return format == u"oltc-archive" && found > 0 ? found : -1;
    };
    std::optional<int> current = version();
    if (!current)
        return false;
    if (*current < 0)
        return Fail(QStringLiteral("holds other data: not an archive"));
    if (*current == kSchemaVersion)
        return true;
    if (*current > kSchemaVersion)
        return Fail(QStringLiteral("made by a newer program (schema %1, this one knows %2)")
                        .arg(*current)
                        .arg(kSchemaVersion));
    // Brought up to date in one transaction; a second program doing the same
    // at the same moment waits and then finds it done.
    if (!Begin())
        return false;
    if (postgres_ && !Exec(QStringLiteral("SELECT pg_advisory_xact_lock(2026121001)")))
        return Rollback(), false;
    current = version();
    if (!current || *current < 0)
        return Rollback(), false;
    const QList<QStringList> steps =
        SchemaSteps(postgres_ ? QStringLiteral("BYTEA") : QStringLiteral("BLOB"));
    for (int step = *current; step < kSchemaVersion; ++step)
        for (const QString& sql : steps[step])
            if (!Exec(sql))
                return Rollback(), false;
    return Commit();
}

AddResult Archive::Add(QByteArrayView bytes, TestSource source, const QString& file,
                       const QDateTime& when) {
    Clear();
    if (bytes.size() < kTestFileSize)
        return {AddOutcome::Refused,
                {},
                QStringLiteral("not a test: %1 bytes, a test has %2")
                    .arg(bytes.size())
                    .arg(kTestFileSize)};
    if (!Begin())
        return {AddOutcome::Failed, {}, error_};
    AddResult result = AddOne(bytes, SourceName(source), file, StoredTime(when));
    if (result.outcome == AddOutcome::Failed)
        Rollback();
    else if (!Commit())
        result = {AddOutcome::Failed, result.id, error_};
    return result;
}

AddResult Archive::Add(const TestRecord& record, TestSource source, const QString& file) {
    return Add(EncodeTestFile(record), source, file);
}

QList<AddResult> Archive::AddMany(const QList<QByteArray>& tests, TestSource source,
                                  const QStringList& files) {
    Clear();
    QList<AddResult> results;
    const QString name = SourceName(source);
    for (qsizetype start = 0; start < tests.size(); start += kBatch) {
        const qsizetype end = std::min(tests.size(), start + kBatch);
        if (!Begin())
            break;
        QList<AddResult> batch;
        const QString when = StoredTime(QDateTime::currentDateTimeUtc());
        for (qsizetype i = start; i < end; ++i) {
            if (tests[i].size() < kTestFileSize) {
                batch.append({AddOutcome::Refused,
                              {},
                              QStringLiteral("not a test: %1 bytes").arg(tests[i].size())});
                continue;
            }
            batch.append(AddOne(tests[i], name, files.value(i), when));
            if (batch.back().outcome == AddOutcome::Failed)
                break;
        }
        if (batch.back().outcome == AddOutcome::Failed || !Commit()) {
            Rollback();
            for (AddResult& r : batch)
                if (r.outcome != AddOutcome::Refused)
                    r = {AddOutcome::Failed, r.id, error_};
            results += batch;
            break;
        }
        results += batch;
    }
    for (qsizetype i = results.size(); i < tests.size(); ++i)
        results.append({AddOutcome::Failed, {}, error_});
    return results;
}

AddResult Archive::AddOne(QByteArrayView bytes, const QString& source, const QString& file,
                          const QString& when) {
    const QString id = TestId(bytes);
    auto record = std::make_unique<TestRecord>();
    DecodeTestFile(bytes, *record);
    const TestParams& p = record->params;
    QSqlQuery insert(Db());
    insert.prepare(QStringLiteral("INSERT INTO tests (%1) VALUES (%2) ON CONFLICT DO NOTHING")
                       .arg(kTestColumns, Placeholders(15)));
    for (const QVariant& v :
         {QVariant(id), QVariant(record->strTestTime.Text()), QVariant(record->strTestUser.Text()),
          QVariant(record->strTestAdd.Text()), QVariant(p.iTestStep), QVariant(p.iSwitchType),
          QVariant(p.iTestMode), QVariant(p.iSampleLength), QVariant(p.iChargeTime),
          QVariant(p.iSeriesType), QVariant(p.iSampleBurst), QVariant(p.iSamplePoint),
          QVariant(source), QVariant(when), QVariant(file)})
        insert.addBindValue(Bound(v));
    if (!insert.exec())
        return Fail(QStringLiteral("the test cannot be kept"), insert.lastError()),
               AddResult{AddOutcome::Failed, id, error_};
    const bool added = insert.numRowsAffected() == 1;
    QSqlQuery next(Db());
    if (added) {
        next.prepare(QStringLiteral("INSERT INTO bodies (id, body) VALUES (?, ?)"));
        next.addBindValue(id);
        next.addBindValue(PackTest(bytes));
    } else {
        // Seen again: only where it is now.
        next.prepare(QStringLiteral("UPDATE tests SET file = ? WHERE id = ? AND ? <> ''"));
        next.addBindValue(Bound(file));
        next.addBindValue(id);
        next.addBindValue(Bound(file));
    }
    if (!next.exec())
        return Fail(QStringLiteral("the test cannot be kept"), next.lastError()),
               AddResult{AddOutcome::Failed, id, error_};
    QSqlQuery seen(Db());
    seen.prepare(QStringLiteral("INSERT INTO sightings (test_id, seen, source, file) "
                                "VALUES (?, ?, ?, ?) ON CONFLICT DO NOTHING"));
    for (const QString& v : {id, when, source, file})
        seen.addBindValue(Bound(v));
    if (!seen.exec())
        return Fail(QStringLiteral("the test cannot be kept"), seen.lastError()),
               AddResult{AddOutcome::Failed, id, error_};
    return {added ? AddOutcome::Added : AddOutcome::AlreadyThere, id, {}};
}

QStringList Archive::Resolve(const QString& prefix, int limit) {
    Clear();
    const QString hex = Hex(prefix.toLower());
    if (hex.isEmpty())
        return {};
    QSqlQuery query(Db());
    query.prepare(
        QStringLiteral("SELECT id FROM tests WHERE id >= ? AND id < ? ORDER BY id LIMIT %1")
            .arg(limit));
    query.addBindValue(hex);
    query.addBindValue(hex + u'g'); // past every id with this prefix
    QStringList ids;
    if (!query.exec()) {
        Fail(QStringLiteral("the archive cannot be read"), query.lastError());
        return ids;
    }
    while (query.next())
        ids << query.value(0).toString();
    return ids;
}

std::optional<QByteArray> Archive::Bytes(const QString& id) {
    Clear();
    QSqlQuery query(Db());
    query.prepare(QStringLiteral("SELECT body FROM bodies WHERE id = ?"));
    query.addBindValue(id);
    if (!query.exec()) {
        Fail(QStringLiteral("the archive cannot be read"), query.lastError());
        return std::nullopt;
    }
    if (!query.next()) {
        Fail(QStringLiteral("no test %1 in the archive").arg(id));
        return std::nullopt;
    }
    QByteArray bytes = UnpackTest(query.value(0).toByteArray());
    if (bytes.isEmpty() || TestId(bytes) != id) {
        Fail(QStringLiteral("the stored bytes of test %1 are damaged").arg(id));
        return std::nullopt;
    }
    return bytes;
}

QList<ArchivedTest> Archive::List(const ArchiveFilter& filter) {
    Clear();
    QStringList where;
    QVariantList values;
    const auto contains = [&](const char* column, const QString& text) {
        if (text.isEmpty())
            return;
        // SQLite's LIKE and PostgreSQL's ILIKE ignore the letter case.
        where << QStringLiteral("%1 %2 ? ESCAPE '!'")
                     .arg(QLatin1String(column),
                          postgres_ ? QStringLiteral("ILIKE") : QStringLiteral("LIKE"));
        values << Containing(text);
    };
    contains("place", filter.place);
    contains("device", filter.device);
    contains("user_name", filter.user);
    if (filter.from.isValid()) {
        where << QStringLiteral("test_time >= ?");
        values << filter.from.toString(Qt::ISODate);
    }
    if (filter.to.isValid()) {
        where << QStringLiteral("test_time < ?");
        values << filter.to.addDays(1).toString(Qt::ISODate);
    }
    if (filter.step) {
        where << QStringLiteral("step = ?");
        values << *filter.step;
    }
    if (filter.up)
        where << (*filter.up ? QStringLiteral("step % 2 = 1") : QStringLiteral("step % 2 = 0"));
    if (filter.baseline)
        where << (*filter.baseline ? QStringLiteral("baseline = 1")
                                   : QStringLiteral("baseline = 0"));
    if (!filter.ids.isEmpty()) {
        where << QStringLiteral("id IN (%1)").arg(Placeholders(filter.ids.size()));
        for (const QString& id : filter.ids)
            values << id;
    }
    // With a filter, SQLite is kept from walking the order's index through
    // every row: scanning and sorting what matched is far quicker.
    const QString order = (!postgres_ && !where.isEmpty() ? QStringLiteral("+") : QString()) +
                          QLatin1String(kSortColumns[int(filter.sort)]) +
                          (filter.descending ? QStringLiteral(" DESC") : QString());
    QString sql = QStringLiteral("SELECT %1, device, report, remark, marks, baseline FROM tests")
                      .arg(kTestColumns);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY %1, id").arg(order);
    if (filter.limit > 0)
        sql += QStringLiteral(" LIMIT %1").arg(filter.limit);
    QSqlQuery query(Db());
    query.setForwardOnly(true);
    query.prepare(sql);
    for (const QVariant& v : values)
        query.addBindValue(v);
    QList<ArchivedTest> tests;
    if (!query.exec()) {
        Fail(QStringLiteral("the archive cannot be read"), query.lastError());
        return tests;
    }
    while (query.next()) {
        ArchivedTest t;
        t.id = query.value(0).toString();
        t.time = query.value(1).toString();
        t.user = query.value(2).toString();
        t.place = query.value(3).toString();
        t.step = query.value(4).toInt();
        t.switchType = query.value(5).toInt();
        t.testMode = query.value(6).toInt();
        t.sampleLength = query.value(7).toInt();
        t.chargeTime = query.value(8).toInt();
        t.seriesType = query.value(9).toInt();
        t.sampleBurst = query.value(10).toInt();
        t.samplePoint = query.value(11).toInt();
        t.source = query.value(12).toString();
        t.added = QDateTime::fromString(query.value(13).toString(), Qt::ISODateWithMs);
        t.file = query.value(14).toString();
        t.device = query.value(15).toString();
        t.report = query.value(16).toString();
        t.remark = query.value(17).toString();
        if (!query.value(18).isNull())
            t.markers = MarksFromText(query.value(18).toString());
        t.baseline = query.value(19).toInt() != 0;
        tests.append(std::move(t));
    }
    return tests;
}

ArchiveFilter BaselinesFilter(const QString& device, const QString& place) {
    ArchiveFilter filter;
    filter.baseline = true;
    if (!device.isEmpty())
        filter.device = device;
    else
        filter.place = place;
    return filter;
}

int Archive::Count() {
    Clear();
    QSqlQuery query(Db());
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM tests")) || !query.next())
        return Fail(QStringLiteral("the archive cannot be read"), query.lastError()), -1;
    return query.value(0).toInt();
}
