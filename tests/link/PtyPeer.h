#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A tester stand-in on the far side of a pseudo-terminal: it reads 8-byte
// request frames and sends what the script says, piece by piece.
class PtyPeer {
public:
    struct Piece {
        QByteArray bytes;
        int delayMs = 0; // before the piece
    };
    // Request number (0-based) and frame; the pieces to send back.
    using Script = std::function<std::vector<Piece>(int index, const QByteArray& frame)>;

    // Links <portsFolder>/COM<port> to the terminal.
    PtyPeer(const QString& portsFolder, int port, Script script);
    ~PtyPeer();

    bool IsReady() const { return master_ >= 0; }
    QList<QByteArray> Requests() const;
    // Sends bytes at once, outside the script.
    void Send(const QByteArray& bytes);

private:
    void Run();

    int master_ = -1;
    int slave_ = -1; // held open so the master never sees a hang-up
    Script script_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    QList<QByteArray> requests_;
    std::thread thread_;
};
