// What is wrong with an archive, and its tests written out as files.
#include "Archive.h"

#include "ArchiveSchema.h"
#include "ArchiveSql.h"
#include "FileTarget.h"
#include "TestBody.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

using namespace archive_sql;

QStringList Archive::Check() {
    Clear();
    QStringList problems;
    QSqlQuery query(Db());
    query.setForwardOnly(true);
    if (!postgres_) {
        if (!query.exec(QStringLiteral("PRAGMA integrity_check")))
            return {query.lastError().databaseText()};
        while (query.next())
            if (const QString line = query.value(0).toString(); line != u"ok")
                problems << line;
    }
    if (!query.exec(
            QStringLiteral("SELECT t.id, b.body FROM tests t LEFT JOIN bodies b ON b.id = t.id")))
        return problems << query.lastError().databaseText();
    while (query.next()) {
        const QString id = query.value(0).toString();
        if (query.value(1).isNull())
            problems << QStringLiteral("test %1 has no stored bytes").arg(id);
        else if (const QByteArray bytes = UnpackTest(query.value(1).toByteArray()); bytes.isEmpty())
            problems << QStringLiteral("the stored bytes of test %1 cannot be unpacked").arg(id);
        else if (TestId(bytes) != id)
            problems << QStringLiteral("the stored bytes of test %1 are not its own").arg(id);
    }
    const auto orphans = [&](const char* table) {
        QSqlQuery q(Db());
        if (q.exec(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE test_id NOT IN (SELECT id "
                                  "FROM tests)")
                       .arg(QLatin1String(table))) &&
            q.next() && q.value(0).toInt() > 0)
            problems << QStringLiteral("%1 rows of %2 belong to no test")
                            .arg(q.value(0).toInt())
                            .arg(QLatin1String(table));
    };
    orphans("sightings");
    orphans("markers");
    orphans("annotations");
    orphans("baselines");
    QSqlQuery marks(Db());
    if (marks.exec(QStringLiteral("SELECT test_id, marks FROM markers")))
        while (marks.next())
            if (!MarksFromText(marks.value(1).toString()))
                problems << QStringLiteral("markers of test %1 cannot be read: %2")
                                .arg(marks.value(0).toString(), marks.value(1).toString());
    return problems;
}

QStringList WriteTestsTo(Archive& archive, const QStringList& ids, const QString& folder,
                         QStringList* failures) {
    QStringList written;
    ArchiveFilter these;
    these.ids = ids;
    for (const ArchivedTest& t : archive.List(these)) {
        QString stem = t.time;
        for (QChar& c : stem)
            if (c == u':' || c == u'/' || c == u'\\' || c.unicode() < 0x20)
                c = u'-';
        if (stem.trimmed().isEmpty() || stem.startsWith(u'.'))
            stem = t.id.left(12);
        QString why;
        const auto bytes = archive.Bytes(t.id);
        ClaimedName name;
        if (!bytes)
            why = archive.Error();
        else if (name.Claim(folder, stem, QStringLiteral("cty"), &why) &&
                 WriteWholeFile(name.Path(), *bytes, &why)) {
            name.Keep();
            written << name.Path();
            continue;
        }
        if (failures)
            *failures << QStringLiteral("%1: %2").arg(stem, why);
    }
    return written;
}
