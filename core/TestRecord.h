#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <array>

inline constexpr int kSampleCount = 2688;           // 0.1 ms apart: 0.1 .. 268.8 ms
inline constexpr int kWaveSlots = kSampleCount + 1; // the last slot is spare
inline constexpr int kPhaseUploadBytes = 2 * kSampleCount;
inline constexpr int kRotationUploadBytes = 2;

// Phase codes as the tester and the analysis use them.
inline constexpr int kPhaseA = 1;
inline constexpr int kPhaseB = 2;
inline constexpr int kPhaseC = 3;

struct TestParams {
    quint8 iSwitchType = 0;   // 0 neutral brought out, 1 not brought out
    quint8 iTestMode = 0;     // index into the mode list of the switch type
    quint8 iTestStep = 0;     // index of the step list
    quint8 iSampleLength = 2; // filter depth
    quint8 iChargeTime = 2;   // 0 manual, k = 5k seconds
    quint8 iSeriesType = 0;   // 0 voltage, 1 resistance
    qint32 iSampleBurst = 1;  // trigger threshold, 0.1 ohm
    qint32 iSamplePoint = 0;  // pre-trigger samples

    bool operator==(const TestParams&) const = default;
};

// A text of at most Capacity bytes of GBK; a longer text keeps its first bytes.
template <int Capacity> class BoundedText {
public:
    static constexpr int kCapacity = Capacity;

    BoundedText() = default;
    explicit BoundedText(const QByteArray& bytes) { Set(bytes); }

    void Set(const QByteArray& bytes) { bytes_ = bytes.left(Capacity); }
    void SetText(const QString& text);
    const QByteArray& Bytes() const { return bytes_; }
    QString Text() const;
    bool IsEmpty() const { return bytes_.isEmpty(); }

    bool operator==(const BoundedText&) const = default;

private:
    QByteArray bytes_;
};

using Wave = std::array<qint32, kWaveSlots>; // index k-1 holds sample k

struct TestRecord {
    TestParams params;
    BoundedText<19> strTestTime;
    BoundedText<20> strTestUser;
    BoundedText<20> strTestAdd;
    Wave WaveA{};
    Wave WaveB{};
    Wave WaveC{};
    qint32 iLoops = 0;
    qint32 iAngle = 0;
    bool HasData = false; // never stored

    // 1-based; 0 outside 1..2688. Code 1 reads A, 2 reads B, anything else C.
    qint32 SampleAt(int phase, int index) const;
    Wave& WaveOf(int phase);
    const Wave& WaveOf(int phase) const;

    // Zeroes the waveforms (spare slots too) and the rotation.
    void ClearTestData();

    // 2688 big-endian 16-bit values into slots 1..2688; false if too short.
    bool StorePhaseUpload(int phase, QByteArrayView data);
    // One big-endian 16-bit value in degrees: whole turns and the rest.
    bool StoreRotation(QByteArrayView data);

    bool operator==(const TestRecord&) const = default;
};

extern template class BoundedText<19>;
extern template class BoundedText<20>;
