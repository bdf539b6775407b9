#pragma once

#include "RequestLog.h"
#include "SimEngine.h"

#include <QByteArray>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

// The tester behind its USB bridge: requests written to it are framed by
// their command's USB length and answered into a receive queue that reads
// take from, each answer as one transfer. Safe to call from any thread.
class UsbDevice {
public:
    UsbDevice();

    // Replaces the configuration and resets everything else.
    void Configure(const SimConfig& config);

    int DeviceCount() const;
    // SI_* status codes throughout.
    int ProductString(quint32 device, quint32 flags, QByteArray& text) const;
    int Open(quint32 device, void** handle);
    int Close(void* handle);
    int Write(void* handle, const char* data, quint32 size, quint32* written);
    int Read(void* handle, char* data, quint32 size, quint32* got);
    int CheckQueue(void* handle, quint32* count, quint32* status);
    void SetTimeouts(quint32 readMs, quint32 writeMs);
    void GetTimeouts(quint32* readMs, quint32* writeMs) const;

    QList<LoggedRequest> Requests() const { return log_.Entries(); }
    void ClearRequests() { log_.Clear(); }

private:
    using Clock = std::chrono::steady_clock;
    struct Transfer {
        QByteArray bytes;
        Clock::time_point readyAt;
    };

    bool Valid(void* handle) const { return open_ && handle == &token_; }
    void FrameInput();
    quint32 ReadyBytes() const;

    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    SimConfig config_;
    std::unique_ptr<SimEngine> engine_;
    RequestLog log_;
    char token_ = 0; // its address is the handle
    bool open_ = false;
    QByteArray input_;
    std::deque<Transfer> output_;
    quint32 readTimeout_ = 1000;
    quint32 writeTimeout_ = 1000;
};
