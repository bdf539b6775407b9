#include "Helpers.h"

#include "GbkText.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <cstdio>

namespace {

quint32 SteadyTick() {
    using namespace std::chrono;
    return quint32(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::function<quint32()>& TickSource() {
    static std::function<quint32()> source = SteadyTick;
    return source;
}

} // namespace

quint32 TickCount() {
    return TickSource()();
}

void SetTickSource(std::function<quint32()> source) {
    TickSource() = source ? std::move(source) : std::function<quint32()>(SteadyTick);
}

void Delay(quint16 ms) {
    if (ms == 0)
        return;
    const quint32 start = TickCount();
    const auto remaining = [&]() -> qint64 {
        const quint32 elapsed = TickCount() - start; // modulo 2^32
        return elapsed >= ms ? 0 : ms - elapsed;
    };
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->thread() != QThread::currentThread()) {
        for (qint64 left = remaining(); left > 0; left = remaining())
            QThread::msleep(quint64(left));
        return;
    }
    // Sleep in the event loop until an event arrives or the wake-up fires.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const qint64 left = remaining();
        if (left == 0)
            return;
        wake.start(int(left));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

QByteArray LeftText(const QByteArray& text, int n) {
    return n <= 0 ? QByteArray() : text.left(n);
}

QByteArray RightText(const QByteArray& text, int n) {
    return n <= 0 ? QByteArray() : text.right(n);
}

QString LeftText(const QString& text, int n) {
    return FromGbk(LeftText(ToGbk(text), n));
}
QString RightText(const QString& text, int n) {
    return FromGbk(RightText(ToGbk(text), n));
}

QString DateTimeText(const QDateTime& moment) {
    const QDate d = moment.date();
    const QTime t = moment.time();
    return QString::asprintf("%.4d-%.2d-%.2d %.2d:%.2d:%.2d", d.year(), d.month(), d.day(),
                             t.hour(), t.minute(), t.second());
}

QString FileTimeText(const QDateTime& moment) {
    const QDate d = moment.date();
    const QTime t = moment.time();
    return QString::asprintf("%.2d-%.2d-%.2d %.2d-%.2d-%.2d", d.year() % 100, d.month(), d.day(),
                             t.hour(), t.minute(), t.second());
}

QString StepText(int step) {
    return QString::asprintf(step % 2 == 0 ? "%d <- %d" : "%d -> %d", step / 2, step / 2 + 1);
}

QString WithTrailingBackslash(const QString& directory) {
    if (directory.isEmpty() || directory.endsWith(u'/') || directory.endsWith(u'\\'))
        return directory;
    return directory + u'/';
}

QString FixedText(qint64 value, int decimals, bool blank) {
    if (blank)
        return {};
    if (decimals == 0)
        return QString::number(value);
    // glibc's printf rounds the exact binary value, as the panel always showed.
    char text[64];
    switch (decimals) {
    case 1:
        std::snprintf(text, sizeof text, "%.1f", double(value) / 10);
        break;
    case 2:
        std::snprintf(text, sizeof text, "%.2f", double(value) / 100);
        break;
    default:
        std::snprintf(text, sizeof text, "%.3f", double(value) / 1000);
        break;
    }
    return QString::fromLatin1(text);
}

QString TrimmedText(const QString& text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from).unicode() <= 0x20)
        ++from;
    while (to > from && text.at(to - 1).unicode() <= 0x20)
        --to;
    return text.mid(from, to - from);
}

QByteArray TrimmedBytes(const QByteArray& bytes) {
    qsizetype from = 0;
    qsizetype to = bytes.size();
    while (from < to && quint8(bytes.at(from)) <= 0x20)
        ++from;
    while (to > from && quint8(bytes.at(to - 1)) <= 0x20)
        --to;
    return bytes.mid(from, to - from);
}
