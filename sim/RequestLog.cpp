#include "RequestLog.h"

#include <QDateTime>

QString LoggedRequest::HexText() const {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString LoggedRequest::Line() const {
    const QString time = QDateTime::fromMSecsSinceEpoch(atMs).toString(u"HH:mm:ss.zzz");
    return note.isEmpty() ? QStringLiteral("%1 %2").arg(time, HexText())
                          : QStringLiteral("%1 %2 | %3").arg(time, HexText(), note);
}

void RequestLog::Add(const LoggedRequest& request) {
    std::lock_guard lock(mutex_);
    entries_.append(request);
}

QList<LoggedRequest> RequestLog::Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

void RequestLog::Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
}
