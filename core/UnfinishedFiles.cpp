#include "UnfinishedFiles.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <unistd.h>

namespace {

// A few writes are open at once (a claimed name, its staged file).
struct Slot {
    std::atomic<bool> used{false};
    char path[PATH_MAX]{};
};
Slot noted[8];

extern "C" void RemoveAndEnd(int signal) {
    for (Slot& slot : noted)
        if (slot.used.load(std::memory_order_acquire))
            ::unlink(slot.path);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

int NoteUnfinished(const QByteArray& native) {
    if (native.isEmpty() || native.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < int(std::size(noted)); ++i) {
        Slot& slot = noted[i];
        if (slot.used.load(std::memory_order_relaxed))
            continue;
        std::memcpy(slot.path, native.constData(), size_t(native.size()) + 1);
        slot.used.store(true, std::memory_order_release);
        return i;
    }
    return -1;
}

void ForgetUnfinished(int slot) {
    if (slot >= 0 && slot < int(std::size(noted)))
        noted[slot].used.store(false, std::memory_order_release);
}

SignalsHeld::SignalsHeld() {
    static_assert(sizeof(before_) >= sizeof(sigset_t));
    sigset_t held;
    sigemptyset(&held);
    sigaddset(&held, SIGINT);
    sigaddset(&held, SIGTERM);
    ::pthread_sigmask(SIG_BLOCK, &held, reinterpret_cast<sigset_t*>(before_));
}

SignalsHeld::~SignalsHeld() {
    ::pthread_sigmask(SIG_SETMASK, reinterpret_cast<const sigset_t*>(before_), nullptr);
}

void RemoveUnfinishedOnSignals() {
    struct sigaction action {};
    action.sa_handler = RemoveAndEnd;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // Past a file-size limit a write then fails, as on a full disk, and is
    // reported, instead of ending the program with its files half-written.
    std::signal(SIGXFSZ, SIG_IGN);
}
