#include "WaveformCsv.h"

#include "Helpers.h"
#include "StagedFile.h"

#include <QDir>
#include <QFile>

QByteArray WaveformCsv(const TestRecord& record) {
    QByteArray csv;
    csv.reserve(40 * kSampleCount);
    csv += "index,time_ms,A_ohm,B_ohm,C_ohm\n";
    for (int k = 1; k <= kSampleCount; ++k) {
        csv += QByteArray::number(k);
        csv += ',';
        csv += FixedText(k, 1).toLatin1();
        for (int p = kPhaseA; p <= kPhaseC; ++p) {
            csv += ',';
            csv += FixedText(record.SampleAt(p, k), 2).toLatin1();
        }
        csv += '\n';
    }
    return csv;
}

ExportResult WriteWaveformCsv(const TestRecord& record, const QString& path) {
    StagedFile staged(path);
    if (ExportResult prepared = staged.Prepare(); !prepared.ok())
        return prepared;
    const QByteArray csv = WaveformCsv(record);
    QFile file(staged.TempPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(csv) != csv.size() ||
        !file.flush())
        return ExportResult::Failed(
            ExportResult::CannotWrite,
            QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    file.close();
    return staged.Commit();
}
