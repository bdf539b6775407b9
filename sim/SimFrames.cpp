#include "SimFrames.h"

#include "CommandCodes.h"

#include <array>

namespace {
struct CommandRow {
    quint8 code;
    const char* name;
    int usbRequest;
};

constexpr std::array<CommandRow, 11> kRows = {{
    {CMD_IDENTIFY, "IDENTIFY", 1},
    {CMD_HISTORY_COUNT, "HISTORY_COUNT", 1},
    {CMD_HISTORY_ENTRY, "HISTORY_ENTRY", 2},
    {CMD_HISTORY_BLOCK, "HISTORY_BLOCK", 3},
    {CMD_SET_PARAMS, "SET_PARAMS", 8},
    {CMD_START_CHARGE, "START_CHARGE", 1},
    {CMD_CHARGE_STATUS, "CHARGE_STATUS", 1},
    {CMD_ARM_TRIGGER, "ARM_TRIGGER", 1},
    {CMD_POLL_TRIGGER, "POLL_TRIGGER", 1},
    {CMD_STOP, "STOP", 1},
    {CMD_UPLOAD_BLOCK, "UPLOAD_BLOCK", 2},
}};

const CommandRow* RowOf(quint8 command) {
    for (const CommandRow& row : kRows)
        if (row.code == command)
            return &row;
    return nullptr;
}
} // namespace

int UsbRequestLength(quint8 command) {
    const CommandRow* row = RowOf(command);
    return row ? row->usbRequest : 0;
}

int SerialResponseLength(quint8 command, quint8 block) {
    switch (command) {
    case CMD_HISTORY_ENTRY:
        return 11;
    case CMD_HISTORY_BLOCK:
        return block == 0 ? kHistoryHeaderSize : kHistoryPhaseSize;
    case CMD_CHARGE_STATUS:
        return 14;
    case CMD_UPLOAD_BLOCK:
        return block == 4 ? kUploadRotationSize : kUploadPhaseSize;
    default:
        return RowOf(command) ? 2 : 0;
    }
}

QByteArray CommandName(quint8 command) {
    const CommandRow* row = RowOf(command);
    return row ? QByteArray(row->name) : QByteArray();
}

int CommandFromText(const QByteArray& text) {
    QByteArray name = text.trimmed().toUpper();
    if (name.startsWith("CMD_"))
        name = name.mid(4);
    for (const CommandRow& row : kRows)
        if (name == row.name)
            return row.code;
    QByteArray hex = name.startsWith("0X") ? name.mid(2) : name;
    bool ok = false;
    const uint value = hex.toUInt(&ok, 16);
    if (!ok || hex.size() > 2 || !RowOf(quint8(value)))
        return -1;
    return int(value);
}
