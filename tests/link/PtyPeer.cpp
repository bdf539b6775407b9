#include "PtyPeer.h"

#include <QFile>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PtyPeer::PtyPeer(const QString& portsFolder, int port, Script script) : script_(std::move(script)) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        return;
    const char* name = ptsname(master_);
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    termios raw{};
    tcgetattr(slave_, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave_, TCSANOW, &raw);
    const QString link = portsFolder + QString("/COM%1").arg(port);
    QFile::remove(link);
    QFile::link(QString::fromLocal8Bit(name), link);
    thread_ = std::thread([this] { Run(); });
}

PtyPeer::~PtyPeer() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

QList<QByteArray> PtyPeer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void PtyPeer::Send(const QByteArray& bytes) {
    if (::write(master_, bytes.constData(), size_t(bytes.size())) < 0)
        return;
}

void PtyPeer::Run() {
    QByteArray pending;
    int index = 0;
    while (!stop_) {
        pollfd fd{master_, POLLIN, 0};
        if (::poll(&fd, 1, 20) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            continue;
        pending.append(buffer, n);
        while (pending.size() >= 8) {
            const QByteArray frame = pending.left(8);
            pending.remove(0, 8);
            {
                std::lock_guard lock(mutex_);
                requests_ << frame;
            }
            for (const Piece& piece : script_(index++, frame)) {
                if (piece.delayMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(piece.delayMs));
                if (stop_)
                    return;
                Send(piece.bytes);
            }
        }
    }
}
