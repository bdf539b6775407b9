#include "BaudRate.h"
#include "Identity.h"

#include <gtest/gtest.h>

namespace {

TEST(BaudRate, Table) {
    const quint32 expected[] = {57600, 300,   600,   1200,  2400,   4800,   9600,  19200,
                                38400, 43000, 56000, 57600, 115200, 256000, 57600, 57600};
    for (quint32 index = 0; index < std::size(expected); ++index)
        EXPECT_EQ(BaudFromIndex(index), expected[index]) << index;
    EXPECT_EQ(BaudFromIndex(0xFFFFFFFF), 57600u);
}

TEST(BaudRate, ReadAllowance) {
    struct Case {
        quint32 count, baud, ms;
    };
    const Case cases[] = {
        {2, 19200, 102},
        {14, 19200, 115},
        {11, 19200, 111},
        {5379, 19200, 5703},
        {5379, 115200, 1034},
        {1, 256000, 110},
        {5380, 19200, 5704},
        {66, 19200, 169},
        {64, 256000, 105},
        {1, 300, 167},
        {4, 57600, 101},
        {5, 57600, 102},
        // halves go to the even neighbour: 2.5 -> 2, 3.5 -> 4
        {10, 80000, 102},
        {14, 80000, 104},
        {1, 4000000, 110},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadAllowanceMs(c.count, c.baud), c.ms) << c.count << " @ " << c.baud;
}

TEST(Identity, Brands) {
    EXPECT_EQ(BrandText(1), QString("Aulex"));
    EXPECT_EQ(BrandText(2), QString("Borvin"));
    EXPECT_EQ(BrandText(0), QString());
    EXPECT_EQ(BrandText(7), QString());
    EXPECT_EQ(BrandFromProductString("XK4N7-01"), 1);
    EXPECT_EQ(BrandFromProductString("qmzt K4N7"), 1);
    EXPECT_EQ(BrandFromProductString("USB qmzt"), 2);
    EXPECT_EQ(BrandFromProductString("k4n7 QMZT"), 0);
    EXPECT_EQ(BrandFromIdentify(QByteArray::fromHex("f007")), 7);
}

} // namespace
