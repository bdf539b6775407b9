#include "CliBench.h"

#include "NativeArgs.h"

#include <QFile>
#include <QProcessEnvironment>

CliBench::CliBench() {
    ready_ = dir_.isValid() && QFile::copy(OLTC_CLI_PATH, dir_.filePath("oltc-cli"));
}

CliBench::~CliBench() {
    StopSimulator();
}

bool CliBench::StartSimulator(const QStringList& options) {
    sim_.setProgram(OLTC_SIM_PATH);
    sim_.setArguments(QStringList{"--port", "3", "--folder", dir_.path()} + options);
    sim_.setProcessChannelMode(QProcess::SeparateChannels);
    // A file, so the log neither fills a pipe nobody reads nor waits for an event loop.
    sim_.setStandardErrorFile(dir_.filePath("oltc-sim.log"));
    sim_.start();
    if (!sim_.waitForStarted(5000))
        return false;
    while (!sim_.canReadLine())
        if (!sim_.waitForReadyRead(5000))
            return false;
    return sim_.readLine().startsWith("oltc-sim: COM3");
}

void CliBench::StopSimulator() {
    if (sim_.state() == QProcess::NotRunning)
        return;
    sim_.terminate();
    if (!sim_.waitForFinished(5000)) {
        sim_.kill();
        sim_.waitForFinished(5000);
    }
}

QByteArray CliBench::SimulatorLog() const {
    QFile file(dir_.filePath("oltc-sim.log"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool CliBench::AddUsbBridge() {
#ifdef OLTC_SIM_USB_PATH
    return QFile::copy(OLTC_SIM_USB_PATH, dir_.filePath("libSiUSBXp.so"));
#else
    return false;
#endif
}

CliBench::Result CliBench::Run(const QStringList& args, const QByteArrayList& environment) const {
    QProcess cli;
    SetNativeCommand(cli, dir_.filePath("oltc-cli"), args);
    cli.setWorkingDirectory(dir_.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QByteArray& pair : environment) {
        const qsizetype eq = pair.indexOf('=');
        env.insert(QString::fromUtf8(pair.left(eq)), QString::fromUtf8(pair.mid(eq + 1)));
    }
    cli.setProcessEnvironment(env);
    cli.start();
    Result result;
    if (!cli.waitForFinished(120000)) {
        cli.kill();
        cli.waitForFinished();
        return result;
    }
    result.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
    result.out = cli.readAllStandardOutput();
    result.err = cli.readAllStandardError();
    return result;
}
