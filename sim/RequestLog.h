#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <mutex>

struct LoggedRequest {
    qint64 atMs = 0; // milliseconds since the epoch, when the request was complete
    QByteArray bytes;
    QString note; // what the tester made of it

    QString HexText() const; // "F4 01 00 05 0C 14 14 00"
    QString Line() const;    // "12:00:01.250 F1 00 .. | 3 stored"
};

// Every request a front received; written by the front's thread, read by anyone.
class RequestLog {
public:
    void Add(const LoggedRequest& request);
    QList<LoggedRequest> Entries() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    QList<LoggedRequest> entries_;
};
