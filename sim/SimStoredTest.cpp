#include "SimStoredTest.h"

#include "SimRandom.h"

#include <array>

std::array<quint8, 8> SimStoredTest::StampBytes() const {
    return {0, hour, minute, second, quint8(year >> 8), quint8(year), month, day};
}

SimStoredTest StoredTestOf(quint32 seed, int k) {
    static constexpr std::array<const char*, 6> kUsers = {"Li Ming",  "WangFang", "Zhao Lei",
                                                          "Chen Jie", "Liu Yang", "Sun Hao"};
    static constexpr std::array<const char*, 6> kPlaces = {"Sub 110", "Plant 3A", "T1 North",
                                                           "Yard 2",  "Bay 7",    "Xinan 35"};
    SimRandom r(seed, quint64(k), 0x5E0);
    SimStoredTest test;
    test.step = quint8(r.Range(0, 197));
    test.year = quint16(r.Range(2009, 2024));
    test.month = quint8(r.Range(1, 12));
    test.day = quint8(r.Range(1, 28));
    test.hour = quint8(r.Range(0, 23));
    test.minute = quint8(r.Range(0, 59));
    test.second = quint8(r.Range(0, 59));
    test.user = kUsers[size_t(r.Range(0, int(kUsers.size()) - 1))];
    test.place = kPlaces[size_t(r.Range(0, int(kPlaces.size()) - 1))];
    test.switchType = quint8(r.Range(0, 1));
    test.testMode = test.switchType == 1 ? quint8(r.Range(0, 1)) : 0;
    test.threshold = quint16(r.Range(1, 200));
    test.preTrigger = quint8(r.Range(0, 255));
    return test;
}

std::array<quint8, 8> EncodeNameCodes(const QByteArray& text) {
    std::array<quint8, 8> codes;
    codes.fill(255);
    size_t used = 0;
    for (const char c : text) {
        if (used == codes.size())
            break;
        int code = -1;
        if (c >= '0' && c <= '9')
            code = c - '0';
        else if (c >= 'A' && c <= 'Z')
            code = c - 55;
        else if (c >= 'a' && c <= 'z')
            code = c - 61;
        else if (c == ' ')
            code = 65;
        if (code >= 0)
            codes[used++] = quint8(code);
    }
    return codes;
}
