#include "SerialFront.h"

#include "CommandCodes.h"
#include "SimFrames.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono;

namespace {
QString SystemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

timespec ToTimespec(steady_clock::duration d) {
    const auto ns = duration_cast<nanoseconds>(std::max(d, steady_clock::duration::zero()));
    return timespec{time_t(ns.count() / 1000000000), long(ns.count() % 1000000000)};
}

// A partial frame left this long without a further byte is line noise.
steady_clock::duration FrameGap(quint32 bitRate) {
    return std::max<steady_clock::duration>(milliseconds(100),
                                            microseconds(30LL * 10 * 1000000 / bitRate));
}
} // namespace

SerialFront::SerialFront(SimConfig config)
    : engine_(std::move(config)), bitRate_(SimBaudFromIndex(engine_.Config().baudIndex)) {}

SerialFront::~SerialFront() {
    Stop();
}

bool SerialFront::Start(const QString& folder, int port, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        CloseAll();
        return false;
    };
    if (Running())
        return fail(QStringLiteral("already serving %1").arg(linkPath_));
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        return fail(SystemError("pseudo-terminal"));
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof name) != 0)
        return fail(SystemError("ptsname"));
    deviceName_ = QString::fromLocal8Bit(name);
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0)
        return fail(SystemError("open slave"));
    termios raw{};
    if (tcgetattr(slave_, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(slave_, TCSANOW, &raw);
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail(SystemError("pipe"));

    // Opens and closes of the slave tell when the program holds the port;
    // without them every byte is taken as heard.
    inotify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    trackOpens_ = inotify_ >= 0 && inotify_add_watch(inotify_, name, IN_OPEN | IN_CLOSE) >= 0;
    programOpens_ = 0;

    const QString ports = QDir(folder).filePath(QStringLiteral("ports"));
    if (!QDir().mkpath(ports))
        return fail(QStringLiteral("cannot create %1").arg(ports));
    linkPath_ = QDir(ports).filePath(QStringLiteral("COM%1").arg(port));
    const QByteArray link = QFile::encodeName(linkPath_);
    struct stat st {};
    if (lstat(link.constData(), &st) == 0 && !S_ISLNK(st.st_mode))
        return fail(QStringLiteral("%1 exists and is not a link").arg(linkPath_));
    // A new link renamed over the old one: the port never goes missing.
    const QByteArray temp = link + ".new" + QByteArray::number(getpid());
    unlink(temp.constData());
    if (symlink(name, temp.constData()) != 0 || rename(temp.constData(), link.constData()) != 0) {
        const QString why = SystemError("link");
        unlink(temp.constData());
        linkPath_.clear();
        return fail(why);
    }
    input_.clear();
    stop_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void SerialFront::Stop() {
    if (thread_.joinable()) {
        stop_ = true;
        const char byte = 1;
        [[maybe_unused]] const auto written = write(wake_[1], &byte, 1);
        thread_.join();
    }
    if (!linkPath_.isEmpty()) {
        // Only our own link: another simulator may have taken the name since.
        const QByteArray link = QFile::encodeName(linkPath_);
        char target[256] = {};
        const ssize_t n = readlink(link.constData(), target, sizeof target - 1);
        if (n > 0 && QString::fromLocal8Bit(target, n) == deviceName_)
            unlink(link.constData());
        linkPath_.clear();
    }
    CloseAll();
}

void SerialFront::CloseAll() {
    for (int* fd : {&master_, &slave_, &wake_[0], &wake_[1], &inotify_}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

void SerialFront::Run() {
    while (!stop_) {
        pollfd fds[3] = {{wake_[0], POLLIN, 0}, {inotify_, POLLIN, 0}, {master_, POLLIN, 0}};
        // A partial frame expires; otherwise wake now and then regardless.
        steady_clock::duration wait = milliseconds(500);
        if (!input_.isEmpty())
            wait = std::min(wait, lastInput_ + FrameGap(bitRate_) - steady_clock::now());
        const timespec timeout = ToTimespec(wait);
        const int ready = ppoll(fds, 3, &timeout, nullptr);
        if (ready < 0 && errno != EINTR)
            break;
        if (stop_)
            break;
        ReadOpenEvents();
        if (fds[2].revents & POLLIN)
            TakeInput();
        else if (fds[2].revents & (POLLHUP | POLLERR))
            Pause(milliseconds(50)); // cannot happen while we hold the slave; never spin
        FrameInput();
        if (!input_.isEmpty() && steady_clock::now() - lastInput_ >= FrameGap(bitRate_)) {
            Drop(input_, QStringLiteral("incomplete request dropped"));
            input_.clear();
        }
    }
}

void SerialFront::TakeInput() {
    char buffer[512];
    for (;;) {
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        input_.append(buffer, n);
        lastInput_ = steady_clock::now();
    }
}

void SerialFront::FrameInput() {
    while (!input_.isEmpty() && !stop_) {
        qsizetype junk = 0;
        while (junk < input_.size() && !IsDeviceCommand(quint8(input_[junk])))
            ++junk;
        if (junk > 0) {
            Drop(input_.left(junk), QStringLiteral("not a request, dropped"));
            input_.remove(0, junk);
            continue;
        }
        if (input_.size() < kSerialRequestSize)
            return;
        const QByteArray frame = input_.left(kSerialRequestSize);
        input_.remove(0, kSerialRequestSize);
        Serve(frame);
    }
}

void SerialFront::Drop(const QByteArray& bytes, const QString& why) {
    if (listener_)
        listener_(LoggedRequest{QDateTime::currentMSecsSinceEpoch(), bytes, why});
}

void SerialFront::Serve(const QByteArray& frame) {
    const qint64 at = QDateTime::currentMSecsSinceEpoch();
    const SimReply reply = engine_.Reply(frame, false);
    const LoggedRequest entry{at, frame, reply.note};
    log_.Add(entry);
    if (listener_)
        listener_(entry);
    if (!reply.Answered())
        return;
    if (reply.delayMs > 0 && !Pause(milliseconds(reply.delayMs)))
        return;
    SendPaced(reply.garbage + reply.bytes.repeated(reply.copies));
}

bool SerialFront::SendPaced(const QByteArray& bytes) {
    // Byte i has left the line when its 10 bits are over: (i + 1) byte times.
    const auto byteTime = nanoseconds(10LL * 1000000000 / bitRate_);
    const auto start = steady_clock::now();
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const auto due =
            std::min<qsizetype>(bytes.size(), (steady_clock::now() - start) / byteTime);
        if (due > sent) {
            // Bytes sent while the program has the port closed are lost, as on a line.
            if (ProgramHasPort() && !WriteAll(bytes.constData() + sent, due - sent))
                return false;
            sent = due;
            continue;
        }
        const auto next = start + byteTime * (sent + 1);
        if (!Pause(std::max<steady_clock::duration>(milliseconds(2), next - steady_clock::now())))
            return false;
    }
    return true;
}

bool SerialFront::WriteAll(const char* data, qsizetype size) {
    auto giveUp = steady_clock::now() + seconds(2);
    while (size > 0) {
        const ssize_t n = write(master_, data, size_t(size));
        if (n > 0) {
            data += n;
            size -= n;
            giveUp = steady_clock::now() + seconds(2);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return true; // the line is gone; the bytes are lost
        // The program is not reading; wait for room, not for ever.
        if (steady_clock::now() > giveUp || !ProgramHasPort())
            return true;
        pollfd fds[2] = {{wake_[0], POLLIN, 0}, {master_, POLLOUT, 0}};
        const timespec timeout = ToTimespec(milliseconds(20));
        ppoll(fds, 2, &timeout, nullptr);
        if (stop_)
            return false;
        ReadOpenEvents();
    }
    return true;
}

bool SerialFront::Pause(steady_clock::duration wait) {
    const auto until = steady_clock::now() + wait;
    while (!stop_) {
        const auto left = until - steady_clock::now();
        if (left <= steady_clock::duration::zero())
            return true;
        pollfd fds[2] = {{wake_[0], POLLIN, 0}, {inotify_, POLLIN, 0}};
        const timespec timeout = ToTimespec(left);
        ppoll(fds, 2, &timeout, nullptr);
        ReadOpenEvents();
    }
    return false;
}

void SerialFront::ReadOpenEvents() {
    if (!trackOpens_)
        return;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = read(inotify_, buffer, sizeof buffer);
        if (n <= 0)
            return;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->mask & IN_OPEN)
                ++programOpens_;
            if ((event->mask & IN_CLOSE) && programOpens_ > 0 && --programOpens_ == 0) {
                // What the program did not take before closing is gone with it.
                tcflush(slave_, TCIFLUSH);
                input_.clear();
            }
            at += qsizetype(sizeof(inotify_event)) + event->len;
        }
    }
}
