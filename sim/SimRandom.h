#pragma once

#include <QtGlobal>

// A small deterministic generator (splitmix64): the same seed gives the
// same tester on every machine and every run.
class SimRandom {
public:
    explicit SimRandom(quint64 seed) : state_(seed) {}
    SimRandom(quint64 a, quint64 b, quint64 c = 0, quint64 d = 0)
        : state_(Mix(Mix(Mix(a) ^ b) ^ c) ^ d) {}

    quint64 Next() {
        state_ += 0x9E3779B97F4A7C15ULL;
        return Mix(state_);
    }
    // Uniform in lo..hi, both included.
    int Range(int lo, int hi) { return lo + int(Next() % quint64(hi - lo + 1)); }

private:
    static quint64 Mix(quint64 z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    quint64 state_;
};
