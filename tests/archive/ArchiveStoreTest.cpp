// The store on both databases: every case runs on an SQLite file and on a
// PostgreSQL server of the test's own.
#include "Archive.h"
#include "ArchiveSchema.h"
#include "ArchiveSync.h"
#include "PgServer.h"
#include "SampleTests.h"
#include "TestBody.h"
#include "TestFile.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

PgServer* server = nullptr;

enum class Backend { Sqlite, Postgres };

class Store : public ::testing::TestWithParam<Backend> {
protected:
    static void SetUpTestSuite() {
        if (!server)
            server = new PgServer;
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    // A new, empty archive on the backend under test.
    QString NewLocation() {
        if (GetParam() == Backend::Sqlite)
            return folder_.filePath(QStringLiteral("a%1.sqlite").arg(++count_));
        static int databases = 0;
        return server->NewDatabase(QStringLiteral("t%1").arg(++databases));
    }
    std::unique_ptr<Archive> OpenNew() {
        if (GetParam() == Backend::Postgres && !server->Problem().isEmpty()) {
            if (server->Missing())
                return nullptr;
            ADD_FAILURE() << server->Problem().toStdString();
            return nullptr;
        }
        const QString where = NewLocation();
        EXPECT_FALSE(where.isEmpty());
        QString why;
        auto archive = Archive::Open(*ParseArchiveLocation(where), &why);
        EXPECT_TRUE(archive) << why.toStdString();
        return archive;
    }
    void SetUp() override {
        if (GetParam() == Backend::Postgres && server->Missing())
            GTEST_SKIP() << server->Problem().toStdString();
    }

    QTemporaryDir folder_;
    int count_ = 0;
};

const QDateTime kMonday = QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC);

TEST_P(Store, KeepsEachTestOnceAndGivesItBackWhole) {
    auto archive = OpenNew();
    ASSERT_TRUE(archive);
    const QByteArray bytes = SampleTestBytes(11);
    const AddResult first = archive->Add(bytes, TestSource::Live, {}, kMonday);
    EXPECT_EQ(first.outcome, AddOutcome::Added) << first.why.toStdString();
    EXPECT_EQ(first.id, TestId(bytes));
    const AddResult again =
        archive->Add(bytes + "more", TestSource::File, QStringLiteral("/t/测试.cty"));
    EXPECT_EQ(again.outcome, AddOutcome::AlreadyThere);
    EXPECT_EQ(archive->Add(bytes.left(100), TestSource::Import, {}).outcome, AddOutcome::Refused);
    EXPECT_EQ(archive->Count(), 1);
    EXPECT_EQ(archive->Bytes(first.id), bytes);
    const QList<ArchivedTest> list = archive->List({});
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].source, u"live") << "where it came from first";
    EXPECT_EQ(list[0].file, u"/t/测试.cty") << "where it was seen last";
    EXPECT_EQ(list[0].added, kMonday);
    EXPECT_EQ(list[0].place, u"北郊站");
    EXPECT_EQ(list[0].user, u"王工");
    EXPECT_EQ(list[0].step, 9);
    EXPECT_FALSE(list[0].markers);
}

TEST_P(Store, FindsTestsByWhatTheEngineerKnows) {
    auto archive = OpenNew();
    ASSERT_TRUE(archive);
    struct Row {
        const char *place, *user, *time;
        int step;
    };
    const Row rows[] = {
        {"北郊站", "王工", "2026-05-04 10:20:30", 8},
        {"北郊站", "李工", "2026-05-04 11:00:00", 9},
        {"South 50%_yard", "Ann", "2025-11-30 23:59:59", 9},
        {"西山站", "王工", "2026-06-01 00:00:00", 3},
    };
    QStringList ids;
    unsigned seed = 100;
    for (const Row& r : rows)
        ids << archive
                   ->Add(SampleTestBytes(seed++, QString::fromUtf8(r.place),
                                         QString::fromUtf8(r.user), r.step,
                                         QString::fromLatin1(r.time)),
                         TestSource::Import, {})
                   .id;
    ASSERT_TRUE(archive->Annotate(ids[3], {QStringLiteral("西山站1号主变 OLTC"), {}, {}}));
    struct Query {
        const char* name;
        ArchiveFilter filter;
        QList<int> expected;
    };
    ArchiveFilter byPlace, byUser, byDates, byStep, up, down, byDevice, literal, sorted;
    byPlace.place = QStringLiteral("北郊");
    byUser.user = QStringLiteral("王");
    byDates.from = QDate(2026, 5, 4);
    byDates.to = QDate(2026, 5, 31);
    byStep.step = 9;
    up.up = true;
    down.up = false;
    byDevice.device = QStringLiteral("oltc");
    literal.place = QStringLiteral("50%_");
    sorted.sort = ArchiveFilter::Sort::Time;
    sorted.descending = true;
    const Query queries[] = {
        {"place", byPlace, {0, 1}},
        {"tester", byUser, {0, 3}},
        {"dates", byDates, {0, 1}},
        {"step", byStep, {2, 1}},
        {"up", up, {2, 1, 3}},
        {"down", down, {0}},
        {"device", byDevice, {3}},
        {"wildcards taken literally", literal, {2}},
        {"newest first", sorted, {3, 1, 0, 2}},
    };
    for (const Query& q : queries) {
        SCOPED_TRACE(q.name);
        QList<int> found;
        for (const ArchivedTest& t : archive->List(q.filter))
            found << int(ids.indexOf(t.id));
        EXPECT_EQ(found, q.expected);
    }
    EXPECT_EQ(archive->Resolve(ids[0].left(8)), QStringList{ids[0]});
    EXPECT_EQ(archive->Resolve(QString()).size(), 0);
    EXPECT_EQ(archive->Resolve(QStringLiteral("'; DROP TABLE tests; --")).size(), 0);
    EXPECT_EQ(archive->Resolve(QStringLiteral("")).size(), 0);
    EXPECT_EQ(archive->Count(), 4);
}

TEST_P(Store, RevisionsAreOnlyAddedAndTheLatestHolds) {
    auto archive = OpenNew();
    ASSERT_TRUE(archive);
    const QString id = archive->Add(SampleTestBytes(5), TestSource::File, {}).id;
    TransitionMarkers hand, automatic;
    hand.phase[0] = {100, 150, 180, 260};
    automatic.phase[1] = {501, 601, 641, 721};
    ASSERT_TRUE(archive->AddMarkers(id, automatic, QStringLiteral("auto"), kMonday));
    ASSERT_TRUE(archive->AddMarkers(id, hand, QStringLiteral("hand"), kMonday.addSecs(60)));
    EXPECT_FALSE(archive->AddMarkers(QString(64, u'0'), hand, QStringLiteral("hand")));
    const auto latest = archive->LatestMarkers(id);
    ASSERT_TRUE(latest);
    EXPECT_EQ(latest->markers, hand);
    EXPECT_EQ(latest->how, u"hand");
    EXPECT_EQ(archive->MarkerHistory(id).size(), 2);
    EXPECT_EQ(archive->List({})[0].markers, hand);

    ASSERT_TRUE(archive->Annotate(
        id, {QStringLiteral("北郊站2号主变 OLTC"), QStringLiteral("R-2026-001"), {}}, kMonday));
    ASSERT_TRUE(
        archive->Annotate(id, {{}, {}, QStringLiteral("B phase slow")}, kMonday.addSecs(5)));
    const auto note = archive->LatestAnnotation(id);
    ASSERT_TRUE(note);
    EXPECT_EQ(note->device, u"北郊站2号主变 OLTC") << "kept from the revision before";
    EXPECT_EQ(note->report, u"R-2026-001");
    EXPECT_EQ(note->remark, u"B phase slow");
}

TEST_P(Store, ABaselineIsChosenAndUnchosenByRevisions) {
    auto archive = OpenNew();
    ASSERT_TRUE(archive);
    const QString a = archive->Add(SampleTestBytes(5), TestSource::File, {}).id;
    const QString b = archive->Add(SampleTestBytes(6), TestSource::File, {}).id;
    ASSERT_TRUE(archive->SetBaseline(a, true, kMonday));
    ASSERT_TRUE(archive->SetBaseline(b, true, kMonday));
    ASSERT_TRUE(archive->SetBaseline(b, false, kMonday.addSecs(1)));
    EXPECT_FALSE(archive->SetBaseline(QString(64, u'0'), true));
    ArchiveFilter chosen;
    chosen.baseline = true;
    const QList<ArchivedTest> baselines = archive->List(chosen);
    ASSERT_EQ(baselines.size(), 1);
    EXPECT_EQ(baselines[0].id, a);
    EXPECT_TRUE(baselines[0].baseline);
    chosen.baseline = false;
    ASSERT_EQ(archive->List(chosen).size(), 1);
    EXPECT_EQ(archive->List(chosen)[0].id, b);

    // A sync carries the choice and its history; the later revision holds.
    auto fleet = OpenNew();
    ASSERT_TRUE(fleet);
    ASSERT_TRUE(CopyArchive(*archive, *fleet, {}).ok);
    ASSERT_TRUE(fleet->SetBaseline(a, false, kMonday.addSecs(60)));
    ASSERT_TRUE(CopyArchive(*fleet, *archive, {}).ok);
    chosen.baseline = true;
    EXPECT_TRUE(archive->List(chosen).isEmpty());
    EXPECT_TRUE(archive->Check().isEmpty()) << archive->Check().join(u'\n').toStdString();
}

TEST_P(Store, ASyncIsAUnionThatCanBeRunAgain) {
    auto laptop = OpenNew();
    auto fleet = OpenNew();
    ASSERT_TRUE(laptop && fleet);
    QList<QByteArray> tests;
    for (unsigned seed = 0; seed < 450; ++seed)
        tests << SampleTestBytes(seed,
                                 seed % 3 ? QStringLiteral("北郊站") : QStringLiteral("西山站"));
    const QList<AddResult> added = laptop->AddMany(tests, TestSource::Fetch, {});
    ASSERT_EQ(added.size(), 450);
    TransitionMarkers m;
    m.phase[2] = {10, 20, 30, 40};
    ASSERT_TRUE(laptop->AddMarkers(added[7].id, m, QStringLiteral("hand"), kMonday));
    ASSERT_TRUE(fleet->Add(tests[7], TestSource::Live, {}).outcome == AddOutcome::Added);

    ArchiveFilter west;
    west.place = QStringLiteral("西山");
    const SyncResult some = CopyArchive(*laptop, *fleet, west);
    ASSERT_TRUE(some.ok) << some.error.toStdString();
    EXPECT_EQ(some.added, 150);
    const SyncResult all = CopyArchive(*laptop, *fleet, {});
    ASSERT_TRUE(all.ok) << all.error.toStdString();
    EXPECT_EQ(all.added, 300 - 1) << "one was there already";
    EXPECT_EQ(CopyArchive(*laptop, *fleet, {}).added, 0) << "nothing twice";
    EXPECT_EQ(fleet->Count(), 450);
    EXPECT_EQ(fleet->LatestMarkers(added[7].id)->markers, m) << "revisions of a known test too";
    EXPECT_EQ(fleet->Bytes(added[449].id), tests[449]);
    // Back the other way: the laptop learns the fleet's sightings, keeps its own.
    EXPECT_TRUE(CopyArchive(*fleet, *laptop, {}).ok);
    EXPECT_EQ(laptop->Count(), 450);
    EXPECT_TRUE(laptop->Check().isEmpty()) << laptop->Check().join(u'\n').toStdString();
    EXPECT_TRUE(fleet->Check().isEmpty()) << fleet->Check().join(u'\n').toStdString();
}

TEST_P(Store, TwoWritersAtOnceBothSucceed) {
    const QString where = NewLocation();
    ASSERT_FALSE(where.isEmpty());
    std::atomic<int> failures{0};
    const auto writer = [&](unsigned first) {
        auto archive = Archive::Open(*ParseArchiveLocation(where));
        if (!archive) {
            ++failures;
            return;
        }
        for (unsigned seed = first; seed < first + 300; seed += 30) {
            QList<QByteArray> some;
            for (unsigned s = seed; s < seed + 30; ++s)
                some << SampleTestBytes(s);
            for (const AddResult& r : archive->AddMany(some, TestSource::Import, {}))
                failures += r.outcome == AddOutcome::Failed;
        }
    };
    std::unique_ptr<QThread> a(QThread::create(writer, 0u));
    std::unique_ptr<QThread> b(QThread::create(writer, 150u)); // half of them the same
    a->start();
    b->start();
    ASSERT_TRUE(a->wait(120000) && b->wait(120000));
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(Archive::Open(*ParseArchiveLocation(where))->Count(), 450);
}

INSTANTIATE_TEST_SUITE_P(Backends, Store, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) {
                             return info.param == Backend::Sqlite ? "Sqlite" : "Postgres";
                         });

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SqliteArchive, WhatIsNotAnArchiveIsLeftUntouched) {
    QTemporaryDir folder;
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    QByteArray damaged;
    {
        const QString path = folder.filePath(QStringLiteral("good.sqlite"));
        {
            auto archive = Archive::Open(*ParseArchiveLocation(path));
            ASSERT_TRUE(archive);
            archive->Add(SampleTestBytes(1), TestSource::File, {});
        }
        damaged = FileBytes(path);
        damaged.replace(0, 16, QByteArray(16, 'x')); // the header gone
    }
    QByteArray foreign;
    {
        const QString path = folder.filePath(QStringLiteral("foreign.sqlite"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "foreign");
            db.setDatabaseName(path);
            ASSERT_TRUE(db.open());
            QSqlQuery(db).exec(QStringLiteral("CREATE TABLE contacts (name TEXT)"));
            db.close();
        }
        QSqlDatabase::removeDatabase("foreign");
        foreign = FileBytes(path);
    }
    const Case cases[] = {{"text", "not a database at all\n"},
                          {"a damaged archive", damaged},
                          {"another program's database", foreign}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = folder.filePath(QString::fromUtf8(c.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        QString why;
        EXPECT_FALSE(Archive::Open(*ParseArchiveLocation(path), &why));
        EXPECT_FALSE(why.isEmpty());
        EXPECT_EQ(FileBytes(path), c.bytes);
        EXPECT_FALSE(QFile::exists(path + "-wal"));
    }
}

TEST(SqliteArchive, AVersionOneArchiveIsBroughtUpToDate) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("v1.sqlite"));
    const QByteArray bytes = SampleTestBytes(4);
    const QString id = TestId(bytes);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "v1");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        const QList<QStringList> steps = SchemaSteps(QStringLiteral("BLOB"));
        for (const QString& sql : steps[0])
            ASSERT_TRUE(q.exec(sql)) << sql.toStdString();
        q.exec(QStringLiteral("INSERT INTO tests VALUES ('%1', '2026-01-01 08:00:00', 'u', "
                              "'p', 3, 0, 0, 2, 2, 0, 1, 0, 'file', "
                              "'2026-01-01T08:00:00.000Z', '/x.cty')")
                   .arg(id));
        q.prepare(QStringLiteral("INSERT INTO bodies VALUES (?, ?)"));
        q.addBindValue(id);
        q.addBindValue(PackTest(bytes));
        ASSERT_TRUE(q.exec());
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO markers VALUES ('%1', "
                                          "'2026-01-02T00:00:00.000Z', 'hand', "
                                          "'1 2 3 4 5 6 7 8 9 10 11 12')")
                               .arg(id)));
        ASSERT_TRUE(q.exec(QStringLiteral("INSERT INTO annotations VALUES ('%1', "
                                          "'2026-01-02T00:00:00.000Z', 'T2 OLTC', '', '')")
                               .arg(id)));
        db.close();
    }
    QSqlDatabase::removeDatabase("v1");
    auto archive = Archive::Open(*ParseArchiveLocation(path));
    ASSERT_TRUE(archive);
    const QList<ArchivedTest> list = archive->List({});
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].device, u"T2 OLTC");
    ASSERT_TRUE(list[0].markers);
    EXPECT_EQ(list[0].markers->phase[2][3], 12);
    EXPECT_FALSE(list[0].baseline);
    EXPECT_TRUE(archive->SetBaseline(id, true)) << "the newest tables are there";
    EXPECT_EQ(archive->Bytes(id), bytes);
    EXPECT_TRUE(archive->Check().isEmpty());
}

TEST(SqliteArchive, ANewerArchiveIsNotWritten) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("new.sqlite"));
    {
        auto archive = Archive::Open(*ParseArchiveLocation(path));
        ASSERT_TRUE(archive);
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "newer");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(
            QStringLiteral("UPDATE meta SET value = '99' WHERE key = 'schema_version'"));
        db.close();
    }
    QSqlDatabase::removeDatabase("newer");
    QString why;
    EXPECT_FALSE(Archive::Open(*ParseArchiveLocation(path), &why));
    EXPECT_TRUE(why.contains(u"newer")) << why.toStdString();
}

TEST(SqliteArchive, CheckNamesWhatIsWrong) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("c.sqlite"));
    auto archive = Archive::Open(*ParseArchiveLocation(path));
    ASSERT_TRUE(archive);
    const QString a = archive->Add(SampleTestBytes(1), TestSource::File, {}).id;
    const QString b = archive->Add(SampleTestBytes(2), TestSource::File, {}).id;
    EXPECT_TRUE(archive->Check().isEmpty());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "tamper");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        q.prepare(QStringLiteral("UPDATE bodies SET body = ? WHERE id = ?"));
        q.addBindValue(PackTest(SampleTestBytes(3)));
        q.addBindValue(b);
        ASSERT_TRUE(q.exec());
        ASSERT_TRUE(
            q.exec(QStringLiteral("INSERT INTO markers VALUES ('%1', 'x', 'hand', '1 2')").arg(a)));
        db.close();
    }
    QSqlDatabase::removeDatabase("tamper");
    const QString problems = archive->Check().join(u'\n');
    EXPECT_TRUE(problems.contains(b + " are not its own")) << problems.toStdString();
    EXPECT_TRUE(problems.contains(QStringLiteral("markers of test ") + a))
        << problems.toStdString();
    EXPECT_FALSE(archive->Bytes(b)) << "damaged bytes are never given out";
}

TEST(PostgresArchive, ACutConnectionIsNamedAndTheSyncResumes) {
    PgServer own;
    if (own.Missing())
        GTEST_SKIP() << own.Problem().toStdString();
    ASSERT_TRUE(own.Problem().isEmpty()) << own.Problem().toStdString();
    QTemporaryDir folder;
    auto laptop = Archive::Open(*ParseArchiveLocation(folder.filePath(QStringLiteral("l.sqlite"))));
    const QString url = own.NewDatabase(QStringLiteral("fleet"));
    auto fleet = Archive::Open(*ParseArchiveLocation(url));
    ASSERT_TRUE(laptop && fleet);
    QList<QByteArray> tests;
    for (unsigned seed = 0; seed < 1000; ++seed)
        tests << SampleTestBytes(seed);
    laptop->AddMany(tests, TestSource::Import, {});
    int batches = 0;
    const SyncResult cut = CopyArchive(*laptop, *fleet, {}, [&](int, int) {
        if (++batches == 2)
            own.Stop();
    });
    EXPECT_FALSE(cut.ok);
    EXPECT_TRUE(cut.serverLost) << cut.error.toStdString();
    EXPECT_FALSE(cut.error.isEmpty());
    ASSERT_TRUE(own.Start());
    fleet = Archive::Open(*ParseArchiveLocation(url));
    ASSERT_TRUE(fleet);
    EXPECT_EQ(fleet->Count(), 400) << "the batches before the cut, whole";
    const SyncResult rest = CopyArchive(*laptop, *fleet, {});
    EXPECT_TRUE(rest.ok) << rest.error.toStdString();
    EXPECT_EQ(rest.added, 600);
    EXPECT_EQ(fleet->Count(), 1000);
}

TEST(PostgresArchive, AServerThatIsNotThereIsSaidAtOnce) {
    QTemporaryDir folder;
    QString why;
    Archive::Failure failure{};
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(
        Archive::Open(*ParseArchiveLocation(
                          QStringLiteral("postgresql://x@/none?host=%1&port=1").arg(folder.path())),
                      &why, &failure));
    EXPECT_LT(clock.elapsed(), 6000);
    EXPECT_EQ(failure, Archive::Failure::Server);
    EXPECT_FALSE(why.isEmpty());
}

} // namespace
