// How quick the archive is where the engineer waits: an import, a filtered
// list over 100,000 tests, keeping one test, its size on disk, a push of
// 10,000 tests to a PostgreSQL server on this machine.
//   archive_bench [TESTS [FOLDER]]   (default 100000; FOLDER keeps the archive
//   for another run, which then measures only the lists)
#include "Archive.h"
#include "ArchiveSync.h"
#include "GbkText.h"
#include "PgServer.h"
#include "SampleTests.h"
#include "TestFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Another test of the same waveforms: its own header, so its own id.
QByteArray Variant(const QByteArray& base, int k) {
    QByteArray bytes = base;
    bytes[2] = char(k % 198);
    const QByteArray place = ToGbk(QStringLiteral("站%1").arg(k % 500));
    const QByteArray time = QStringLiteral("20%1-%2-%3 10:00:00")
                                .arg(10 + k % 17)
                                .arg(1 + k % 12, 2, 10, QChar(u'0'))
                                .arg(1 + k % 28, 2, 10, QChar(u'0'))
                                .toLatin1();
    bytes[16] = char(time.size());
    std::copy(time.begin(), time.end(), bytes.begin() + 17);
    bytes[57] = char(std::min<qsizetype>(place.size(), 20));
    std::copy_n(place.begin(), std::min<qsizetype>(place.size(), 20), bytes.begin() + 58);
    bytes[kTestFileSize - 4] = char(k & 0xFF);
    bytes[kTestFileSize - 3] = char(k >> 8 & 0xFF);
    bytes[kTestFileSize - 2] = char(k >> 16 & 0xFF);
    return bytes;
}

void Lists(Archive& archive) {
    QElapsedTimer clock;
    struct Query {
        const char* name;
        ArchiveFilter filter;
    };
    ArchiveFilter place, device, stepUp, dates, all;
    place.place = QStringLiteral("站42");
    device.device = QStringLiteral("2号主变");
    stepUp.step = 9;
    stepUp.up = true;
    dates.from = QDate(2015, 3, 1);
    dates.to = QDate(2015, 3, 31);
    all.limit = 200;
    const Query queries[] = {{"place contains", place},
                             {"device contains", device},
                             {"step and direction", stepUp},
                             {"a month", dates},
                             {"first 200, by time", all}};
    for (const Query& q : queries) {
        std::vector<double> ms;
        qsizetype rows = 0;
        for (int i = 0; i < 15; ++i) {
            clock.restart();
            rows = archive.List(q.filter).size();
            ms.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::printf("list, %s: %lld rows, median %.1f ms\n", q.name, (long long)rows, Median(ms));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int total = argc > 1 ? std::max(20000, atoi(argv[1])) : 100000;
    QTemporaryDir temporary;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    const QString path = folder + QStringLiteral("/archive.sqlite");
    auto archive = Archive::Open(*ParseArchiveLocation(path));
    if (!archive)
        return 1;
    if (archive->Count() >= total) {
        Lists(*archive);
        return 0;
    }

    // Field-like tests, each with its own noise.
    QList<QByteArray> field;
    for (int k = 0; k < 10000; ++k)
        field << SampleTestBytes(unsigned(k));
    QElapsedTimer clock;
    clock.start();
    archive->AddMany(field, TestSource::Import, {});
    const double importSeconds = clock.nsecsElapsed() / 1e9;
    archive.reset();
    archive = Archive::Open(*ParseArchiveLocation(path)); // checkpointed on close
    const double bytesPerTest = double(QFileInfo(path).size()) / 10000;
    std::printf("import of 10000 field-like tests: %.2f s, %.0f tests/s\n", importSeconds,
                10000 / importSeconds);
    std::printf("on disk: %.0f bytes a test\n", bytesPerTest);

    for (int start = 10000; start < total; start += 5000) {
        QList<QByteArray> more;
        for (int k = start; k < std::min(total, start + 5000); ++k)
            more << Variant(field[k % 10000], k);
        archive->AddMany(more, TestSource::Import, {});
    }
    const QStringList ids = archive->Ids({});
    for (qsizetype k = 0; k < ids.size(); k += 50)
        archive->Annotate(ids[k], {QStringLiteral("北郊站%1号主变 OLTC").arg(k % 7), {}, {}});
    std::printf("archive of %d tests\n", archive->Count());

    Lists(*archive);

    std::vector<double> keep;
    for (int k = 0; k < 100; ++k) {
        const QByteArray one = Variant(field[k], total + k);
        clock.restart();
        archive->Add(one, TestSource::Live, {});
        keep.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("keeping one test: median %.2f ms, largest %.2f ms\n", Median(keep),
                *std::max_element(keep.begin(), keep.end()));

    PgServer server;
    if (!server.Problem().isEmpty()) {
        std::printf("push: skipped (%s)\n", qPrintable(server.Problem()));
        return 0;
    }
    auto fleet = Archive::Open(*ParseArchiveLocation(server.NewDatabase(QStringLiteral("fleet"))));
    auto laptop = Archive::Open(*ParseArchiveLocation(folder + QStringLiteral("/l.sqlite")));
    if (!fleet || !laptop)
        return 1;
    laptop->AddMany(field, TestSource::Import, {});
    clock.restart();
    const SyncResult pushed = CopyArchive(*laptop, *fleet, {});
    std::printf("push of %d tests to a local PostgreSQL server: %.2f s (%s)\n", pushed.added,
                clock.nsecsElapsed() / 1e9, pushed.ok ? "ok" : qPrintable(pushed.error));
    clock.restart();
    const SyncResult again = CopyArchive(*laptop, *fleet, {});
    std::printf("the same push again (nothing new): %.2f s, %d new\n", clock.nsecsElapsed() / 1e9,
                again.added);
    return 0;
}
