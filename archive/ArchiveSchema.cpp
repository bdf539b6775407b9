#include "ArchiveSchema.h"

QList<QStringList> SchemaSteps(const QString& blob) {
    return {
        // 1: the tests, their bytes, where they were seen, their revisions.
        {
            QStringLiteral("CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL)"),
            QStringLiteral("CREATE TABLE tests (id TEXT PRIMARY KEY, test_time TEXT NOT NULL, "
                           "user_name TEXT NOT NULL, place TEXT NOT NULL, step INTEGER NOT NULL, "
                           "switch_type INTEGER NOT NULL, test_mode INTEGER NOT NULL, "
                           "sample_length INTEGER NOT NULL, charge_time INTEGER NOT NULL, "
                           "series_type INTEGER NOT NULL, sample_burst INTEGER NOT NULL, "
                           "sample_point INTEGER NOT NULL, source TEXT NOT NULL, "
                           "added TEXT NOT NULL, file TEXT NOT NULL)"),
            // Apart from the rows a list reads, so a list never touches them.
            QStringLiteral("CREATE TABLE bodies (id TEXT PRIMARY KEY, body %1 NOT NULL)").arg(blob),
            QStringLiteral("CREATE TABLE sightings (test_id TEXT NOT NULL, seen TEXT NOT NULL, "
                           "source TEXT NOT NULL, file TEXT NOT NULL, "
                           "PRIMARY KEY (test_id, seen, source, file))"),
            QStringLiteral("CREATE TABLE markers (test_id TEXT NOT NULL, set_at TEXT NOT NULL, "
                           "how TEXT NOT NULL, marks TEXT NOT NULL, "
                           "PRIMARY KEY (test_id, set_at, how, marks))"),
            QStringLiteral("CREATE TABLE annotations (test_id TEXT NOT NULL, "
                           "set_at TEXT NOT NULL, device TEXT NOT NULL, report TEXT NOT NULL, "
                           "remark TEXT NOT NULL, "
                           "PRIMARY KEY (test_id, set_at, device, report, remark))"),
            QStringLiteral("CREATE INDEX tests_place ON tests (place)"),
            QStringLiteral("CREATE INDEX tests_user ON tests (user_name)"),
            QStringLiteral("CREATE INDEX tests_time ON tests (test_time)"),
            QStringLiteral("CREATE INDEX tests_step ON tests (step)"),
            QStringLiteral("INSERT INTO meta (key, value) VALUES ('format', 'oltc-archive')"),
            QStringLiteral("INSERT INTO meta (key, value) VALUES ('schema_version', '1')"),
        },
        // 2: the latest annotation and markers beside each test, so a list
        // filtered by device is one scan.
        {
            QStringLiteral("ALTER TABLE tests ADD COLUMN device TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE tests ADD COLUMN report TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE tests ADD COLUMN remark TEXT NOT NULL DEFAULT ''"),
            QStringLiteral("ALTER TABLE tests ADD COLUMN marks TEXT"),
            QStringLiteral("CREATE INDEX tests_device ON tests (device)"),
            RefreshLatestSql(QStringLiteral("1 = 1"), 2),
            QStringLiteral("UPDATE meta SET value = '2' WHERE key = 'schema_version'"),
        },
        // 3: which tests are baselines (a fingerprint of the tap changer when
        // it was known good), revisions like the rest; the latest beside each test.
        {
            QStringLiteral("CREATE TABLE baselines (test_id TEXT NOT NULL, set_at TEXT NOT NULL, "
                           "chosen INTEGER NOT NULL, PRIMARY KEY (test_id, set_at, chosen))"),
            QStringLiteral("ALTER TABLE tests ADD COLUMN baseline INTEGER NOT NULL DEFAULT 0"),
            QStringLiteral("CREATE INDEX tests_baseline ON tests (baseline)"),
            QStringLiteral("UPDATE meta SET value = '3' WHERE key = 'schema_version'"),
        },
    };
}

QString RefreshLatestSql(const QString& where, int schema) {
    const QString note = QStringLiteral(
        "COALESCE((SELECT a.%1 FROM annotations a WHERE a.test_id = tests.id "
        "ORDER BY a.set_at DESC, a.device DESC, a.report DESC, a.remark DESC LIMIT 1), '')");
    const QString baseline =
        schema >= 3 ? QStringLiteral(", baseline = COALESCE((SELECT b.chosen FROM baselines b "
                                     "WHERE b.test_id = tests.id "
                                     "ORDER BY b.set_at DESC, b.chosen DESC LIMIT 1), 0)")
                    : QString();
    return QStringLiteral("UPDATE tests SET marks = (SELECT m.marks FROM markers m "
                          "WHERE m.test_id = tests.id "
                          "ORDER BY m.set_at DESC, m.how DESC, m.marks DESC LIMIT 1), "
                          "device = %1, report = %2, remark = %3%4 WHERE %5")
        .arg(note.arg(u"device"), note.arg(u"report"), note.arg(u"remark"), baseline, where);
}
