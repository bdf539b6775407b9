#include "TestBody.h"

#include "TestFile.h"

#include <QCryptographicHash>
#include <QtEndian>

namespace {

// The first byte says how the rest is packed.
constexpr char kPlanes = 'P'; // header, difference planes of the waves, rotation
constexpr char kWhole = 'W';  // the bytes as they are, deflated

constexpr qsizetype kWaveValues = 3 * kWaveSlots;
constexpr qsizetype kWavesAt = kTestFileHeaderSize;
constexpr qsizetype kTailAt = kWavesAt + kWaveValues * 4; // the rotation
constexpr qsizetype kPlanesSize = kTestFileHeaderSize + 2 * kWaveValues + 8;

QByteArray Deflated(char kind, const QByteArray& bytes) {
    return kind + qCompress(bytes, 6);
}

// Small differences of either sign become small numbers, so the high
// plane is nearly all zero.
quint16 ZigZag(quint16 difference) {
    const qint16 d = qint16(difference);
    return quint16(quint16(d) << 1) ^ quint16(d >> 15);
}

quint16 UnZigZag(quint16 z) {
    return quint16(z >> 1) ^ quint16(-(z & 1));
}

} // namespace

QString TestId(QByteArrayView bytes) {
    if (bytes.size() < kTestFileSize)
        return {};
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes.first(kTestFileSize), QCryptographicHash::Sha256).toHex());
}

QByteArray PackTest(QByteArrayView bytes) {
    if (bytes.size() < kTestFileSize)
        return {};
    bytes = bytes.first(kTestFileSize);
    // Samples are 16-bit values in 32-bit slots and neighbours differ little:
    // their differences, high bytes apart from low bytes, deflate to a few KB.
    QByteArray planes(kPlanesSize, '\0');
    std::copy_n(bytes.data(), kTestFileHeaderSize, planes.data());
    char* high = planes.data() + kTestFileHeaderSize;
    char* low = high + kWaveValues;
    quint16 previous = 0;
    for (qsizetype i = 0; i < kWaveValues; ++i) {
        const qint32 v = qFromLittleEndian<qint32>(bytes.data() + kWavesAt + 4 * i);
        if (v < 0 || v > 0xFFFF)
            return Deflated(kWhole, bytes.toByteArray());
        const quint16 difference = ZigZag(quint16(v) - previous);
        previous = quint16(v);
        high[i] = char(difference >> 8);
        low[i] = char(difference & 0xFF);
    }
    std::copy_n(bytes.data() + kTailAt, 8, low + kWaveValues);
    return Deflated(kPlanes, planes);
}

QByteArray UnpackTest(QByteArrayView packed) {
    if (packed.size() < 5)
        return {};
    const char kind = packed.front();
    // qCompress puts the size in front: check it before anything is allocated.
    const quint32 size = qFromBigEndian<quint32>(packed.data() + 1);
    const quint32 expected = kind == kPlanes ? kPlanesSize : kTestFileSize;
    if ((kind != kPlanes && kind != kWhole) || size != expected)
        return {};
    const QByteArray inner =
        qUncompress(reinterpret_cast<const uchar*>(packed.data() + 1), packed.size() - 1);
    if (inner.size() != qsizetype(expected))
        return {};
    if (kind == kWhole)
        return inner;
    QByteArray bytes(kTestFileSize, '\0');
    std::copy_n(inner.data(), kTestFileHeaderSize, bytes.data());
    const char* high = inner.data() + kTestFileHeaderSize;
    const char* low = high + kWaveValues;
    quint16 value = 0;
    for (qsizetype i = 0; i < kWaveValues; ++i) {
        value += UnZigZag(quint16(quint8(high[i]) << 8 | quint8(low[i])));
        qToLittleEndian<qint32>(value, bytes.data() + kWavesAt + 4 * i);
    }
    std::copy_n(low + kWaveValues, 8, bytes.data() + kTailAt);
    return bytes;
}
