// The upload of one stored test (header and phases A, B, C) over a paced
// pseudo-terminal, against the line time plus the fixed pauses of the
// transaction layer, and the program's CPU time during it.
//
// usage: history_upload_bench [BAUD_INDEX...]   (default: 7 and 12)

#include "BaudRate.h"
#include "PortNames.h"
#include "Requests.h"
#include "StoredTestUpload.h"
#include "UCommUnit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

namespace {

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

bool StartSimulator(QProcess& sim, const QString& folder, int baudIndex) {
    sim.start(OLTC_SIM_PATH, {"--port", "1", "--folder", folder, "--baud-index",
                              QString::number(baudIndex), "--stored", "1"});
    if (!sim.waitForStarted(5000))
        return false;
    while (!sim.canReadLine())
        if (!sim.waitForReadyRead(5000))
            return false;
    return sim.readLine().startsWith("oltc-sim: COM1");
}

// False when the upload failed or missed its budget.
bool Measure(int baudIndex) {
    QTemporaryDir folder;
    QProcess sim;
    if (!folder.isValid() || !StartSimulator(sim, folder.path(), baudIndex)) {
        std::fprintf(stderr, "the simulator did not start\n");
        return false;
    }
    SetPortsFolder(folder.filePath("ports"));
    Tester link(CommSettings{1, 1, baudIndex});

    TestRecord record;
    QElapsedTimer wall;
    const double cpuStart = CpuSeconds();
    wall.start();
    const bool ok = StoredTestUpload(link, 1, record).Run();
    const double wallMs = double(wall.nsecsElapsed()) / 1e6;
    const double cpuMs = (CpuSeconds() - cpuStart) * 1000.0;
    sim.terminate();
    sim.waitForFinished(5000);

    const quint32 baud = BaudFromIndex(quint32(baudIndex));
    const int lineBytes =
        4 * kSerialFrameSize + int(kHistoryHeaderLength) + 3 * int(kHistoryPhaseLength);
    const double lineMs = lineBytes * 10.0 * 1000.0 / baud;
    const double pausesMs = 4.0 * (kPauseAfterWriteMs + kPauseAfterCloseMs);
    const double budgetMs = 1.1 * (lineMs + pausesMs);
    const double cpuShare = 100.0 * cpuMs / wallMs;
    const bool inTime = wallMs <= budgetMs;
    const bool idle = cpuShare < 5.0;
    std::printf("%6u bit/s: upload %s in %7.0f ms; line %6.0f ms + pauses %4.0f ms, budget %7.0f "
                "ms (%s); CPU %5.1f ms = %.2f %% of wall (%s)\n",
                baud, ok ? "complete" : "FAILED", wallMs, lineMs, pausesMs, budgetMs,
                inTime ? "met" : "MISSED", cpuMs, cpuShare, idle ? "under 5 %" : "OVER 5 %");
    return ok && inTime && idle;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QList<int> indexes;
    for (const QString& arg : app.arguments().mid(1))
        indexes << arg.toInt();
    if (indexes.isEmpty())
        indexes = {7, 12};
    bool all = true;
    for (const int index : indexes)
        all = Measure(index) && all;
    return all ? 0 : 1;
}
