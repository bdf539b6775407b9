#include "WaveformCsv.h"

#include "FileTarget.h"
#include "Helpers.h"

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
    if (QString why; !WriteWholeFile(path, WaveformCsv(record), &why))
        return WriteFailure(path, why);
    return {};
}
