#pragma once

#include "CommandCodes.h"
#include "TestRecord.h"

#include <QByteArray>

inline constexpr int kRequestBufferSize = 65;
inline constexpr int kSerialFrameSize = 8;
inline constexpr quint32 kUsbResponseSize = 64;
inline constexpr int kBlockBufferSize = 5382;

// Serial response lengths of the commands that have more than an answer byte.
inline constexpr quint32 kHistoryEntryLength = 11;
inline constexpr quint32 kHistoryHeaderLength = 66;
inline constexpr quint32 kHistoryPhaseLength = 5380;
inline constexpr quint32 kChargeStatusLength = 14;
inline constexpr quint32 kUploadPhaseLength = 5379;
inline constexpr quint32 kUploadRotationLength = 4;
inline constexpr quint32 kShortResponseLength = 2;

// One request as its caller builds it: a 65-byte buffer cleared to zero with
// the command byte at 0, the bytes the USB transport sends, and the response
// bytes the serial transport waits for.
struct DeviceRequest {
    QByteArray bytes;
    quint32 writeLength = 1;
    quint32 responseLength = kShortResponseLength;

    quint8 Command() const { return quint8(bytes.at(0)); }
    // Always 8 bytes, whatever the command.
    QByteArray SerialFrame() const { return bytes.left(kSerialFrameSize); }
    QByteArray UsbFrame() const { return bytes.left(writeLength); }
};

DeviceRequest IdentifyRequest();
DeviceRequest HistoryCountRequest();
// k is 1-based.
DeviceRequest HistoryEntryRequest(quint8 k);
// Block 0 is the header, 1..3 the phases A, B, C.
DeviceRequest HistoryBlockRequest(quint8 k, quint8 block);
// The waveform bit comes from `seriesType`, the choice on the parameter panel.
DeviceRequest SetParamsRequest(const TestParams& params, int seriesType);
DeviceRequest StartChargeRequest();
DeviceRequest ChargeStatusRequest();
DeviceRequest ArmTriggerRequest();
DeviceRequest PollTriggerRequest();
DeviceRequest StopRequest();
// Block 1..3 the phases A, B, C, 4 the rotation.
DeviceRequest UploadBlockRequest(quint8 block);

// Filter depth index 0..3 as the tester's code 0, 5, 10, 20; others 0.
quint8 FilterCode(int sampleLength);
// Charge seconds in bits 0..6, bit 7 for the resistance waveform.
quint8 ChargeByte(int chargeTime, int seriesType);
