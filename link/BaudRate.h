#pragma once

#include <QtGlobal>

// The bit rate of a stored speed index; 0 and unknown indexes give 57600.
quint32 BaudFromIndex(quint32 index);

// Milliseconds a read of `count` bytes at `baud` may take: twice the line
// time of 10-bit characters, rounded to nearest (halves to even), at least
// 10, plus 100.
quint32 ReadAllowanceMs(quint32 count, quint32 baud);
