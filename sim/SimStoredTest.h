#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <array>

// The index data of a test kept in the tester; its waveforms are
// SimWaveform(seed, phase, k).
struct SimStoredTest {
    quint8 step = 0; // tap step index, 0..197
    quint16 year = 2010;
    quint8 month = 1, day = 1, hour = 0, minute = 0, second = 0;
    QByteArray user;  // letters, digits and spaces only, at most 8
    QByteArray place; // the same
    quint8 switchType = 0;
    quint8 testMode = 0;
    quint16 threshold = 1; // 0.1 ohm
    quint8 preTrigger = 0; // samples

    // The 8 stamp bytes: unused, hour, minute, second, year (big-endian), month, day.
    std::array<quint8, 8> StampBytes() const;
};

// Test k (1-based) of the tester with this seed.
SimStoredTest StoredTestOf(quint32 seed, int k);

// The tester's 8 character codes of a text: digits 0..9, A..Z 10..35,
// a..z 36..61, space 65; other characters are left out, and unused codes
// are 255 (which stands for nothing).
std::array<quint8, 8> EncodeNameCodes(const QByteArray& text);
