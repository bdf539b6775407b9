#pragma once

#include "SiBridge.h"

#include <QByteArray>
#include <QByteArrayView>

inline constexpr quint32 kUsbWriteChunk = 512;
inline constexpr quint32 kUsbReadChunk = 4096;
inline constexpr quint32 kUsbChunkTimeoutMs = 100;
inline constexpr int kUsbAttempts = 4;
// Reads that may come back without the echo before an attempt gives up.
inline constexpr int kUsbMaxEchoSkips = 16;

// One chunk each way, with the library's time-outs set for the chunk (the
// given time-out in its own direction, 0 in the other) and put back after it.
bool UsbWrite(const SiApi& si, SiHandle handle, const quint8* data, quint32 length,
              quint32 timeoutMs, quint32& written);
bool UsbRead(const SiApi& si, SiHandle handle, quint8* data, quint32 length, quint32 timeoutMs,
             quint32& read);

// One exchange with USB device 0: up to four attempts, none after a failed
// open. Sends `writeLength` bytes of `request` (missing bytes are 0) in
// 512-byte chunks, then reads `responseLength` bytes into the start of
// `response` (grown with zeros when shorter, never cleared) in 4096-byte
// chunks, skipping data that does not start with the echo of the command
// byte. A command byte outside 0xF0..0xFA is never sent. `handle` holds the
// open device during an attempt and is null after it; `mayHaveArrived`, when
// given, tells whether some attempt started sending the request.
bool UsbExchange(const SiApi& si, SiHandle& handle, QByteArrayView request, QByteArray& response,
                 quint32 responseLength, quint32 writeLength, bool* mayHaveArrived = nullptr);
bool UsbExchange(const SiApi& si, QByteArrayView request, QByteArray& response,
                 quint32 responseLength, quint32 writeLength);
// The same through the bridge library that BridgeApi() loads.
bool UsbExchange(QByteArrayView request, QByteArray& response, quint32 responseLength,
                 quint32 writeLength);

// The zero-terminated string of device 0 (at most 257 bytes); false when
// the device count or the string cannot be read.
bool UsbProductString(const SiApi& si, QByteArray& text);
