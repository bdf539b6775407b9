#include "Settings.h"
#include "UDlgSetComm.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TEST(SetComm, PreselectsConfirmsAndCancels) {
    struct Case {
        const char* name;
        int style, port, rate; // stored before
        const char *shownPort, *shownRate;
        int pickPort, pickRate; // list positions chosen, -1 keeps
        bool confirm, greyed;
        int wantStyle, wantPort, wantRate;
    };
    const Case cases[] = {
        {"COM3 at 19200", 1, 3, 7, "COM3", "19200", -1, -1, true, false, 1, 3, 7},
        {"COM16 at 256000", 1, 1, 7, "COM1", "19200", 15, 12, true, false, 1, 16, 13},
        {"USB greyed, confirm is serial", 0, 2, 5, "COM2", "4800", -1, -1, true, true, 1, 2, 5},
        {"cancel keeps USB", 0, 2, 5, "COM2", "4800", 15, 12, false, true, 0, 2, 5},
        {"out of range: no selection", 1, 17, 14, "", "", -1, -1, true, false, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SystemSettings settings;
        settings.giCommStyle = c.style;
        settings.giCommPort = c.port;
        settings.giBaudRate = c.rate;
        TFrmSetComm dialog(settings);
        ASSERT_EQ(dialog.cbCommPort->count(), 16);
        ASSERT_EQ(dialog.cbrate->count(), 13);
        EXPECT_EQ(dialog.cbCommPort->currentText(), QString(c.shownPort));
        EXPECT_EQ(dialog.cbrate->currentText(), QString(c.shownRate));
        EXPECT_EQ(dialog.cbCommPort->isEnabled(), !c.greyed);
        EXPECT_EQ(dialog.lblBaudRate->isEnabled(), !c.greyed);
        if (c.pickPort >= 0)
            dialog.cbCommPort->setCurrentIndex(c.pickPort);
        if (c.pickRate >= 0)
            dialog.cbrate->setCurrentIndex(c.pickRate);
        (c.confirm ? dialog.BtnOK : dialog.BtnCancel)->click();
        EXPECT_EQ(settings.giCommStyle, c.wantStyle);
        EXPECT_EQ(settings.giCommPort, c.wantPort);
        EXPECT_EQ(settings.giBaudRate, c.wantRate);
    }
}

// The chosen port's device and what the system knows of it stand in the
// list's tool tip; the list, its items and the window stay as they were.
TEST(SetComm, TheChosenPortIsDescribedInItsToolTip) {
    SerialPortEntry sim;
    sim.number = 3;
    sim.device = "/dev/pts/4";
    sim.linked = true;
    SerialPortEntry usb;
    usb.number = 1;
    usb.device = "/dev/ttyUSB0";
    usb.listed = true;
    usb.description = "CP2102 USB to UART Bridge Controller";
    usb.manufacturer = "Silicon Labs";
    usb.vendorId = 0x10c4;
    usb.productId = 0xea60;
    SystemSettings settings;
    settings.giCommStyle = 1;
    settings.giCommPort = 1;
    settings.giBaudRate = 7;
    TFrmSetComm plain(settings);
    TFrmSetComm described(settings, nullptr, {usb, sim});
    struct Case {
        int position;
        const char* tip;
    };
    const Case cases[] = {
        {0, "/dev/ttyUSB0: CP2102 USB to UART Bridge Controller, Silicon Labs, USB 10c4:ea60"},
        {2, "/dev/pts/4"},
        {1, "无此串口"},
        {15, "无此串口"},
        {-1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        described.cbCommPort->setCurrentIndex(c.position);
        EXPECT_EQ(described.cbCommPort->toolTip(), QString::fromUtf8(c.tip));
    }
    EXPECT_EQ(plain.cbCommPort->toolTip(), QStringLiteral("无此串口")) << "no ports given";
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(described.cbCommPort->itemText(i), QStringLiteral("COM%1").arg(i + 1));
    EXPECT_EQ(described.sizeHint(), plain.sizeHint());
    EXPECT_EQ(described.findChildren<QWidget*>().size(), plain.findChildren<QWidget*>().size());
    described.cbCommPort->setCurrentIndex(2);
    described.BtnOK->click();
    EXPECT_EQ(settings.giCommPort, 3);
}

} // namespace
