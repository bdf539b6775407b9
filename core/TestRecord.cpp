#include "TestRecord.h"

#include "GbkText.h"

template <int Capacity> void BoundedText<Capacity>::SetText(const QString& text) {
    Set(ToGbk(text));
}

template <int Capacity> QString BoundedText<Capacity>::Text() const {
    return FromGbk(bytes_);
}

template class BoundedText<19>;
template class BoundedText<20>;

qint32 TestRecord::SampleAt(int phase, int index) const {
    if (index < 1 || index > kSampleCount)
        return 0;
    return WaveOf(phase)[index - 1];
}

Wave& TestRecord::WaveOf(int phase) {
    return phase == kPhaseA ? WaveA : phase == kPhaseB ? WaveB : WaveC;
}

const Wave& TestRecord::WaveOf(int phase) const {
    return phase == kPhaseA ? WaveA : phase == kPhaseB ? WaveB : WaveC;
}

void TestRecord::ClearTestData() {
    WaveA.fill(0);
    WaveB.fill(0);
    WaveC.fill(0);
    iLoops = 0;
    iAngle = 0;
}

namespace {
quint16 BigEndian16(QByteArrayView data, qsizetype at) {
    return quint16(quint8(data[at]) << 8 | quint8(data[at + 1]));
}
} // namespace

bool TestRecord::StorePhaseUpload(int phase, QByteArrayView data) {
    if (data.size() < kPhaseUploadBytes)
        return false;
    Wave& wave = WaveOf(phase);
    for (int k = 0; k < kSampleCount; ++k)
        wave[k] = BigEndian16(data, 2 * k);
    return true;
}

bool TestRecord::StoreRotation(QByteArrayView data) {
    if (data.size() < kRotationUploadBytes)
        return false;
    const quint16 degrees = BigEndian16(data, 0);
    iLoops = degrees / 360;
    iAngle = degrees % 360;
    return true;
}
