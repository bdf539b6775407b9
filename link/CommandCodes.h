#pragma once

#include <QtGlobal>

// Command bytes of the tester protocol; the program and the simulator both use them.
enum DeviceCommand : quint8 {
    CMD_IDENTIFY = 0xF0,
    CMD_HISTORY_COUNT = 0xF1,
    CMD_HISTORY_ENTRY = 0xF2,
    CMD_HISTORY_BLOCK = 0xF3,
    CMD_SET_PARAMS = 0xF4,
    CMD_START_CHARGE = 0xF5,
    CMD_CHARGE_STATUS = 0xF6,
    CMD_ARM_TRIGGER = 0xF7,
    CMD_POLL_TRIGGER = 0xF8,
    CMD_STOP = 0xF9,
    CMD_UPLOAD_BLOCK = 0xFA,
};

inline constexpr quint8 kFirstCommand = CMD_IDENTIFY;
inline constexpr quint8 kLastCommand = CMD_UPLOAD_BLOCK;
inline constexpr quint8 ACK = 0x55;

inline constexpr bool IsDeviceCommand(quint8 byte) {
    return byte >= kFirstCommand && byte <= kLastCommand;
}
