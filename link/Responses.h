#pragma once

#include "TestRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <optional>

inline constexpr int kStampSize = 8;
inline constexpr int kNameCodes = 8;

// "2010-12-21 14:30:05" from the 8 stamp bytes (hour, minute, second, year
// big-endian, month, day behind an unused first byte).
QString StampText(QByteArrayView stamp);
// "10-12-21 14-30-05", the name a stored test is saved under.
QString StampFileText(QByteArrayView stamp);
// The 8 character codes of a name or place: digits, letters, space; other
// codes give nothing.
QByteArray NameText(QByteArrayView codes);

// Response byte 1: ACK, brand code, or stored-test count.
bool IsAck(QByteArrayView response);
std::optional<quint8> ResponseByte1(QByteArrayView response);

struct ChargeStatus {
    std::array<quint16, 3> millivolts{}; // A, B, C
    std::array<quint16, 3> milliamps{};
};
std::optional<ChargeStatus> DecodeChargeStatus(QByteArrayView response);

struct HistoryEntry {
    quint8 step = 0;
    QString time;
};
std::optional<HistoryEntry> DecodeHistoryEntry(QByteArrayView response);

// Stored-test header: time, name, place, switch type, mode, step, trigger
// threshold and pre-trigger samples into `record`; the rest stays.
bool StoreHistoryHeader(QByteArrayView response, TestRecord& record);
// Stored-test block 1..3 into phase A..C.
bool StoreHistoryPhase(int block, QByteArrayView response, TestRecord& record);
// Captured-test block 1..3 into phase A..C, block 4 into the rotation.
bool StoreUploadBlock(int block, QByteArrayView response, TestRecord& record);
