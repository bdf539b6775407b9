#include "SimTestUtil.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Reads from a port the way the program does: waitForReadyRead up to a deadline.
QByteArray Transact(QSerialPort& port, const QByteArray& request, int count) {
    port.write(request);
    port.waitForBytesWritten(500);
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    while (got.size() < count && timer.elapsed() < 2000) {
        if (port.bytesAvailable() == 0)
            port.waitForReadyRead(100);
        got += port.read(count - got.size());
    }
    return got;
}

TEST(OltcSim, ServesUntilTerminatedAndRemovesItsLink) {
    QTemporaryDir dir;
    QProcess sim;
    sim.start(QStringLiteral(OLTC_SIM_PATH), {"--port", "2", "--folder", dir.path(), "--brand", "2",
                                              "--baud-index", "12", "--verbose"});
    ASSERT_TRUE(sim.waitForStarted(5000));
    QByteArray line;
    while (!line.contains('\n') && sim.waitForReadyRead(5000))
        line += sim.readAllStandardOutput();
    EXPECT_TRUE(line.startsWith("oltc-sim: COM2 -> /dev/pts/")) << line.constData();
    EXPECT_TRUE(line.trimmed().endsWith("at 115200 bit/s")) << line.constData();
    const QString link = dir.filePath("ports/COM2");
    ASSERT_TRUE(QFileInfo(link).isSymLink());

    // The program opens and closes the port for every exchange.
    for (int round = 0; round < 3; ++round) {
        QSerialPort port(link);
        port.setBaudRate(115200);
        ASSERT_TRUE(port.open(QIODevice::ReadWrite)) << qPrintable(port.errorString());
        EXPECT_EQ(Transact(port, SerialRequest({0xF0}), 2), Bytes({0xF0, 0x02}));
        port.close();
    }

    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(3000));
    EXPECT_EQ(sim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    const QByteArray log = sim.readAllStandardError();
    EXPECT_EQ(log.count("F0 00 00 00 00 00 00 00 | brand 2"), 3) << log.constData();
}

TEST(OltcSim, RefusesBadOptionsWithExitCode2) {
    const QStringList bad[] = {
        {"--port", "1"}, // no folder
        {"--folder", "/tmp", "--fault", "F8:sometimes"},
        {"--folder", "/tmp", "--baud-index"},
        {"--folder", "/tmp", "--speed", "9600"},
    };
    for (const QStringList& args : bad) {
        QProcess sim;
        sim.start(QStringLiteral(OLTC_SIM_PATH), args);
        ASSERT_TRUE(sim.waitForFinished(5000));
        EXPECT_EQ(sim.exitCode(), 2) << qPrintable(args.join(' '));
        EXPECT_TRUE(sim.readAllStandardError().startsWith("oltc-sim: "));
        EXPECT_TRUE(sim.readAllStandardOutput().isEmpty());
    }
}

} // namespace
