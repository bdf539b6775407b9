#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A program folder of its own: a copy of oltc-cli (and, for USB, the bridge
// double beside it), and the simulated tester serving its ports folder.
class CliBench {
public:
    CliBench();
    ~CliBench();

    bool IsReady() const { return ready_; }
    QString Folder() const { return dir_.path(); }
    QString Path(const QString& name) const { return dir_.filePath(name); }

    // Starts oltc-sim on COM3 with these extra options; false when it does
    // not report ready.
    bool StartSimulator(const QStringList& options);
    void StopSimulator();
    // What the simulator wrote on stderr since it started: with --verbose,
    // one line per request it received.
    QByteArray SimulatorLog() const;
    // Puts the USB bridge double beside the program.
    bool AddUsbBridge();

    struct Result {
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };
    Result Run(const QStringList& args, const QByteArrayList& environment = {}) const;

private:
    QTemporaryDir dir_;
    QProcess sim_;
    bool ready_ = false;
};
