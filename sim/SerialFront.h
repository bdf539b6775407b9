#pragma once

#include "RequestLog.h"
#include "SimEngine.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

// The tester on a serial line: a pseudo-terminal whose slave the program
// opens as <folder>/ports/COM<n>. Its own thread frames the 8-byte requests,
// asks the engine, and sends each answer paced at the line's bit rate.
class SerialFront {
public:
    using Listener = std::function<void(const LoggedRequest&)>;

    explicit SerialFront(SimConfig config = {});
    ~SerialFront();
    SerialFront(const SerialFront&) = delete;
    SerialFront& operator=(const SerialFront&) = delete;

    // Creates the terminal and the link (replacing a stale one) and starts
    // serving; false, and why, when it could not.
    bool Start(const QString& folder, int port, QString* error = nullptr);
    // Ends the thread within milliseconds and removes the link. Idempotent.
    void Stop();

    bool Running() const { return thread_.joinable(); }
    QString LinkPath() const { return linkPath_; }
    QString DeviceName() const { return deviceName_; }
    quint32 BitRate() const { return bitRate_; }

    QList<LoggedRequest> Requests() const { return log_.Entries(); }
    void ClearRequests() { log_.Clear(); }
    // Called on the front's thread for every request and every dropped byte
    // run; set it before Start.
    void SetListener(Listener listener) { listener_ = std::move(listener); }

private:
    using Clock = std::chrono::steady_clock;

    void Run();
    void Serve(const QByteArray& frame);
    void Drop(const QByteArray& bytes, const QString& why);
    void TakeInput();
    void FrameInput();
    bool SendPaced(const QByteArray& bytes);
    bool WriteAll(const char* data, qsizetype size);
    // Sleeps up to `wait` unless stopped; keeps track of the program's opens.
    bool Pause(Clock::duration wait);
    void ReadOpenEvents();
    bool ProgramHasPort() const { return !trackOpens_ || programOpens_ > 0; }
    void CloseAll();

    SimEngine engine_;
    RequestLog log_;
    Listener listener_;
    QString linkPath_;
    QString deviceName_;
    quint32 bitRate_ = 0;

    int master_ = -1;
    int slave_ = -1; // held open so the master survives the program's closes
    int wake_[2] = {-1, -1};
    int inotify_ = -1;
    bool trackOpens_ = false;
    int programOpens_ = 0;

    QByteArray input_;
    Clock::time_point lastInput_{};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
