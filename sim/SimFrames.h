#pragma once

#include <QByteArray>
#include <QtGlobal>

// Frame sizes of the tester's side of the wire, written from the frame tables.
inline constexpr int kSerialRequestSize = 8;
inline constexpr int kUsbMinResponse = 64;
inline constexpr int kUploadPhaseSize = 5379;  // 0xFA p=1..3
inline constexpr int kUploadRotationSize = 4;  // 0xFA p=4
inline constexpr int kHistoryHeaderSize = 66;  // 0xF3 b=0
inline constexpr int kHistoryPhaseSize = 5380; // 0xF3 b=1..3
inline constexpr int kSimSamples = 2688;

// How many bytes the program sends for a command over USB; 0 for a byte
// that is no command.
int UsbRequestLength(quint8 command);

// The response length the program waits for on the serial line, which
// depends on the block asked for; 0 for a byte that is no command.
int SerialResponseLength(quint8 command, quint8 block);

// "POLL_TRIGGER" for 0xF8, empty for other bytes.
QByteArray CommandName(quint8 command);
// The command byte for a name with or without "CMD_" (any letter case), or
// for a hex byte like "F8" / "0xF8"; -1 when it is neither.
int CommandFromText(const QByteArray& text);
