#include "UsbPort.h"

#include "CommandCodes.h"

#include <QThread>
#include <algorithm>

namespace {

// Polls of an empty queue when a read is asked for without a time-out.
constexpr int kMaxQueuePolls = 100;

class SavedTimeouts {
public:
    explicit SavedTimeouts(const SiApi& si) : si_(si) { si_.GetTimeouts(&read_, &write_); }
    ~SavedTimeouts() { si_.SetTimeouts(read_, write_); }

private:
    const SiApi& si_;
    quint32 read_ = 0;
    quint32 write_ = 0;
};

// Sends the whole frame; a chunk that fails or moves nothing ends it.
bool WriteRequest(const SiApi& si, SiHandle handle, const QByteArray& frame) {
    const auto total = quint32(frame.size());
    quint32 sent = 0;
    while (sent < total) {
        const quint32 n = std::min(total - sent, kUsbWriteChunk);
        quint32 written = 0;
        if (!UsbWrite(si, handle, reinterpret_cast<const quint8*>(frame.constData()) + sent, n,
                      kUsbChunkTimeoutMs, written) ||
            written == 0)
            return false;
        sent += std::min(written, n);
    }
    return true;
}

// Reads until all `length` bytes are there; a read that fails or brings
// nothing ends it.
bool ReadResponse(const SiApi& si, SiHandle handle, quint8 command, quint8* data, quint32 length) {
    quint32 received = 0;
    int skips = 0;
    while (received < length) {
        const quint32 n = std::min(length - received, kUsbReadChunk);
        quint32 got = 0;
        if (!UsbRead(si, handle, data + received, n, kUsbChunkTimeoutMs, got) || got == 0)
            return false;
        if (received == 0 && data[0] != command) {
            // Not our answer: read the first chunk again, but not for ever.
            if (++skips > kUsbMaxEchoSkips)
                return false;
            continue;
        }
        received += std::min(got, n);
    }
    return true;
}

} // namespace

bool UsbWrite(const SiApi& si, SiHandle handle, const quint8* data, quint32 length,
              quint32 timeoutMs, quint32& written) {
    written = 0;
    const SavedTimeouts saved(si);
    si.SetTimeouts(0, timeoutMs);
    // The library takes a non-const buffer.
    QByteArray copy(reinterpret_cast<const char*>(data), qsizetype(length));
    return si.Write(handle, copy.data(), length, &written, nullptr) == kSiSuccess;
}

bool UsbRead(const SiApi& si, SiHandle handle, quint8* data, quint32 length, quint32 timeoutMs,
             quint32& read) {
    read = 0;
    const SavedTimeouts saved(si);
    SiStatus status = kSiSuccess;
    if (timeoutMs != 0) {
        si.SetTimeouts(timeoutMs, 0);
    } else {
        quint32 queued = 0;
        quint32 queueStatus = 0;
        int polls = 0;
        for (;;) {
            status = si.CheckRXQueue(handle, &queued, &queueStatus);
            if (status != kSiSuccess || (queueStatus & kSiRxReady) != 0)
                break;
            if (++polls >= kMaxQueuePolls)
                return false;
            QThread::msleep(1);
        }
    }
    if (status == kSiSuccess)
        status = si.Read(handle, data, length, &read, nullptr);
    return status == kSiSuccess;
}

bool UsbExchange(const SiApi& si, SiHandle& handle, QByteArrayView request, QByteArray& response,
                 quint32 responseLength, quint32 writeLength, bool* mayHaveArrived) {
    if (mayHaveArrived)
        *mayHaveArrived = false;
    QByteArray frame =
        request.first(std::min<qsizetype>(request.size(), writeLength)).toByteArray();
    frame.resize(writeLength, '\0');
    const quint8 command = frame.isEmpty() ? 0 : quint8(frame[0]);
    if (response.size() < qsizetype(responseLength))
        response.resize(responseLength, '\0');
    for (int attempt = 1; attempt <= kUsbAttempts; ++attempt) {
        handle = kSiInvalidHandle;
        if (si.Open(0, &handle) != kSiSuccess || handle == kSiInvalidHandle) {
            si.Close(handle);
            handle = nullptr;
            return false;
        }
        bool ok = IsDeviceCommand(command) && !frame.isEmpty();
        if (ok) {
            if (mayHaveArrived)
                *mayHaveArrived = true;
            ok = WriteRequest(si, handle, frame);
            QThread::msleep(1);
            ok = ok && ReadResponse(si, handle, command, reinterpret_cast<quint8*>(response.data()),
                                    responseLength);
        }
        si.Close(handle);
        handle = nullptr;
        if (ok)
            return true;
    }
    return false;
}

bool UsbExchange(const SiApi& si, QByteArrayView request, QByteArray& response,
                 quint32 responseLength, quint32 writeLength) {
    SiHandle handle = nullptr;
    return UsbExchange(si, handle, request, response, responseLength, writeLength);
}

bool UsbExchange(QByteArrayView request, QByteArray& response, quint32 responseLength,
                 quint32 writeLength) {
    return UsbExchange(BridgeApi(), request, response, responseLength, writeLength);
}

bool UsbProductString(const SiApi& si, QByteArray& text) {
    quint32 count = 0;
    if (si.GetNumDevices(&count) != kSiSuccess)
        return false;
    char buffer[kSiProductStringSize + 1] = {};
    if (si.GetProductString(0, buffer, 0) != kSiSuccess)
        return false;
    text = QByteArray(buffer, qsizetype(qstrnlen(buffer, kSiProductStringSize)));
    return true;
}
