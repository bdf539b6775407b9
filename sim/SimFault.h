#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

// A misbehaviour of the tester for one command, to drive the program's
// failure paths.
enum class FaultKind {
    NoAnswer,  // the request is ignored: nothing is sent, no state changes
    Nak,       // byte 1 carries ARG (default 0x00) instead of its value
    WrongEcho, // byte 0 carries ARG (default 0x00) instead of the command
    Short,     // the last ARG bytes (default 1) are missing
    Garbage,   // ARG bytes (default 4) that are no echo come first
    Delay,     // the answer leaves ARG ms (default 1000) late
    Cut,       // only the first ARG bytes (default 1) are sent
    Late,      // the answer leaves ARG ms (default 30) after the program gave up on it
    Twice,     // the answer is sent twice, back to back
};

struct SimFault {
    quint8 command = 0;
    FaultKind kind = FaultKind::NoAnswer;
    int arg = -1;  // -1: the kind's default
    int times = 0; // hits before the fault wears off; 0 = for ever

    int Arg() const;
    bool operator==(const SimFault&) const = default;
};

// "CMD:KIND[:ARG[:TIMES]]", CMD a hex byte ("F8", "0xF8") or a name
// ("POLL_TRIGGER", "CMD_POLL_TRIGGER"); numbers are decimal or 0x-hex.
std::optional<SimFault> ParseFault(const QString& text, QString* error = nullptr);
QString FaultText(const SimFault& fault);
