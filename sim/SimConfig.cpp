#include "SimConfig.h"

#include <array>

QByteArray SimConfig::UsbProductString() const {
    if (!productString.isEmpty())
        return productString;
    switch (brand) {
    case 1:
        return "OLTC Tester USB K4N7";
    case 2:
        return "OLTC Tester USB qmzt";
    default:
        return "OLTC Tester USB";
    }
}

quint32 SimBaudFromIndex(int index) {
    static constexpr std::array<quint32, 13> kRates = {
        300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 43000, 56000, 57600, 115200, 256000};
    if (index < 1 || index > int(kRates.size()))
        return 57600;
    return kRates[index - 1];
}
