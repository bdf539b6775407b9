#pragma once

#include "Analysis.h"
#include "ArchiveLocation.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// Where a test entered the program.
enum class TestSource { Live, History, Fetch, File, Import };
QString SourceName(TestSource source);

// One revision of a test's twelve markers; the latest is the test's markers.
struct MarkerRevision {
    QDateTime setAt; // UTC
    QString how;     // "hand" or "auto"
    TransitionMarkers markers;
};

// One revision of what a test is of; the latest holds.
struct Annotation {
    QDateTime setAt;
    QString device; // the transformer and tap changer, free text
    QString report; // the report number
    QString remark;
};

// The fields an annotation revision changes; the others keep the latest.
struct AnnotationChange {
    std::optional<QString> device, report, remark;
};

// A test as a list shows it.
struct ArchivedTest {
    QString id;
    QString time, user, place; // the header texts, decoded
    int step = 0, switchType = 0, testMode = 0;
    int sampleLength = 0, chargeTime = 0, seriesType = 0, sampleBurst = 0, samplePoint = 0;
    QString source; // where it first came from
    QDateTime added;
    QString file; // the last path it was seen at
    QString device, report, remark;
    std::optional<TransitionMarkers> markers;
    bool baseline = false; // a fingerprint of its tap changer, taken when it was known good
};

struct ArchiveFilter {
    QString place, device, user; // contained, in any letter case
    QDate from, to;              // of the test's own time, inclusive
    std::optional<int> step;     // the step list's index
    std::optional<bool> up;      // "->" (odd steps) or "<-"
    std::optional<bool> baseline;
    QList<QString> ids; // only these, when given
    enum class Sort { Time, Place, Device, User, Step, Source, Added, Markers, Id, Baseline };
    Sort sort = Sort::Time;
    bool descending = false;
    int limit = 0; // 0: all
};

// The tests marked as baselines of one tap changer: of the device when it
// is known, else of the place.
ArchiveFilter BaselinesFilter(const QString& device, const QString& place);

enum class AddOutcome { Added, AlreadyThere, Refused, Failed };
struct AddResult {
    AddOutcome outcome = AddOutcome::Failed;
    QString id;
    QString why;
};

// Everything an archive holds of some tests, as it is stored: what a sync copies.
struct ArchiveRows {
    struct Test {
        QString id;
        QByteArray packed;
        QString time, user, place;
        int step, switchType, testMode, sampleLength, chargeTime, seriesType, sampleBurst,
            samplePoint;
        QString source, added, file;
    };
    struct Sighting {
        QString id, seen, source, file;
    };
    struct Markers {
        QString id, setAt, how, marks;
    };
    struct Note {
        QString id, setAt, device, report, remark;
    };
    QList<Test> tests;
    QList<Sighting> sightings;
    QList<Markers> markers;
    QList<Note> annotations;
    struct Baseline {
        QString id, setAt;
        bool chosen;
    };
    QList<Baseline> baselines;
};

class QSqlDatabase;

// The store of every test the program sees, in SQLite or PostgreSQL. Tests
// never change; sightings, marker and annotation revisions are only added,
// so two archives merge by union. Nothing is ever deleted.
class Archive {
public:
    enum class Failure { None, Unusable, Server };

    static constexpr int kSchemaVersion = 3;

    // Opens, creating and bringing up to date what it may. An SQLite file
    // that is not an archive, or is damaged, is left as it is.
    static std::unique_ptr<Archive> Open(const ArchiveLocation& location, QString* why = nullptr,
                                         Failure* failure = nullptr);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    const ArchiveLocation& Location() const { return location_; }
    // The reason of the last failure, and whether the server was lost.
    const QString& Error() const { return error_; }
    Failure LastFailure() const { return failure_; }

    // Keeps a test (its first 32356 bytes); one already there only notes
    // where it was seen.
    AddResult Add(QByteArrayView bytes, TestSource source, const QString& file,
                  const QDateTime& when = QDateTime::currentDateTimeUtc());
    // The record as its file holds it.
    AddResult Add(const TestRecord& record, TestSource source, const QString& file);
    // Many in few transactions; stops at the first failure of the store.
    QList<AddResult> AddMany(const QList<QByteArray>& tests, TestSource source,
                             const QStringList& files);

    // The ids that begin with `prefix` (at most `limit`).
    QStringList Resolve(const QString& prefix, int limit = 2);
    std::optional<QByteArray> Bytes(const QString& id);

    QList<ArchivedTest> List(const ArchiveFilter& filter);
    int Count();

    bool AddMarkers(const QString& id, const TransitionMarkers& markers, const QString& how,
                    const QDateTime& when = QDateTime::currentDateTimeUtc());
    std::optional<MarkerRevision> LatestMarkers(const QString& id);
    QList<MarkerRevision> MarkerHistory(const QString& id);

    bool Annotate(const QString& id, const AnnotationChange& change,
                  const QDateTime& when = QDateTime::currentDateTimeUtc());
    std::optional<Annotation> LatestAnnotation(const QString& id);

    // Makes a test a baseline of its tap step, or no longer one.
    bool SetBaseline(const QString& id, bool chosen,
                     const QDateTime& when = QDateTime::currentDateTimeUtc());

    // What is wrong with the archive; empty when nothing is.
    QStringList Check();

    // For a sync: the ids a filter selects, all rows of some tests, and
    // adding rows that are not there yet (returns how many tests were new).
    QStringList Ids(const ArchiveFilter& filter);
    std::optional<ArchiveRows> Rows(const QStringList& ids, bool withTests = true);
    std::optional<int> Merge(const ArchiveRows& rows);

private:
    Archive(ArchiveLocation location, QString connection);
    QSqlDatabase Db() const;
    bool Fail(const QString& what, const class QSqlError& error);
    bool Fail(const QString& what);
    void Clear();
    bool Ready(QString* why, Failure* failure);
    bool CreateOrMigrate();
    bool Exec(const QString& sql);
    bool Begin();
    bool Commit();
    void Rollback();
    bool Refresh(const QStringList& ids);
    AddResult AddOne(QByteArrayView bytes, const QString& source, const QString& file,
                     const QString& when);

    ArchiveLocation location_;
    QString connection_;
    QString error_;
    Failure failure_ = Failure::None;
    bool postgres_ = false;
};

// The markers as stored: "t1 t2 t3 t4 t1 t2 ..." for A, B, C.
QString MarksText(const TransitionMarkers& markers);
std::optional<TransitionMarkers> MarksFromText(const QString& text);
QString StoredTime(const QDateTime& moment); // ISO 8601, UTC, milliseconds

// Writes the tests `ids` names into `folder` as .cty files named by their
// time ("2026-05-04 10-20-30.cty", "... (2).cty" when taken). The paths
// written; what failed in `failures`, one line each.
QStringList WriteTestsTo(Archive& archive, const QStringList& ids, const QString& folder,
                         QStringList* failures);
