#include "FileTarget.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

bool Fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

// The system's reason, where the file device did not keep one.
QString ReasonOf(const QSaveFile& file) {
    const QString reason = file.errorString();
    return reason.isEmpty() || reason == u"Unknown error" ? QStringLiteral("the write failed")
                                                          : reason;
}

} // namespace

QString TargetRefusal(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return {};
    return info.isDir() ? QStringLiteral("%1 is a folder, not a file").arg(path)
                        : QStringLiteral("%1 exists and is not a regular file").arg(path);
}

bool WriteWholeFile(const QString& path, QByteArrayView bytes, QString* error) {
    if (const QString refusal = TargetRefusal(path); !refusal.isEmpty())
        return Fail(error, refusal);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(error, ReasonOf(file));
    // A short write keeps no reason; writing the rest again brings it out
    // (a full disk says so then).
    qsizetype written = 0;
    while (written < bytes.size()) {
        const qint64 n = file.write(bytes.data() + written, bytes.size() - written);
        if (n <= 0)
            return Fail(error, ReasonOf(file));
        written += qsizetype(n);
    }
    if (!file.commit())
        return Fail(error, ReasonOf(file));
    return true;
}

bool CanWriteTarget(const QString& path, QString* error) {
    if (const QString refusal = TargetRefusal(path); !refusal.isEmpty())
        return Fail(error, refusal);
    QSaveFile trial(path);
    if (!trial.open(QIODevice::WriteOnly))
        return Fail(error, ReasonOf(trial));
    trial.cancelWriting();
    return true;
}
