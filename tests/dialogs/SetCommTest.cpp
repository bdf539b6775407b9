#include "Settings.h"
#include "UDlgSetComm.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

TEST(SetComm, ListsAndPreselection) {
    SystemSettings settings;
    settings.giCommPort = 3;
    settings.giBaudRate = 7;
    TFrmSetComm dialog(settings);
    EXPECT_EQ(dialog.windowTitle(), QString("通讯设置"));
    ASSERT_EQ(dialog.cbCommPort->count(), 16);
    EXPECT_EQ(dialog.cbCommPort->itemText(0), QString("COM1"));
    EXPECT_EQ(dialog.cbCommPort->itemText(15), QString("COM16"));
    ASSERT_EQ(dialog.cbrate->count(), 13);
    EXPECT_EQ(dialog.cbrate->itemText(0), QString("300"));
    EXPECT_EQ(dialog.cbrate->itemText(8), QString("43000"));
    EXPECT_EQ(dialog.cbrate->itemText(12), QString("256000"));
    EXPECT_EQ(dialog.cbCommPort->currentText(), QString("COM3"));
    EXPECT_EQ(dialog.cbrate->currentText(), QString("19200"));
    EXPECT_EQ(dialog.BtnCancel->text(), QString("退出"));
    EXPECT_TRUE(dialog.BtnOK->isDefault());
    dialog.show();
    EXPECT_FALSE(dialog.cbCommStyle->isVisible());
    EXPECT_TRUE(dialog.cbCommPort->isVisible());
}

TEST(SetComm, ConfirmAndCancel) {
    struct Case {
        const char* name;
        int style, port, rate;  // stored before
        int pickPort, pickRate; // list positions chosen, -1 keeps
        bool confirm;
        bool greyed;
        int wantStyle, wantPort, wantRate;
    };
    const Case cases[] = {
        {"COM16 at 256000", 1, 1, 7, 15, 12, true, false, 1, 16, 13},
        {"USB stored: greyed, confirm switches to serial", 0, 2, 5, -1, -1, true, true, 1, 2, 5},
        {"cancel keeps USB", 0, 2, 5, 15, 12, false, true, 0, 2, 5},
        {"cancel keeps serial", 1, 4, 9, 0, 0, false, false, 1, 4, 9},
        {"out of range: no selection, stored as 0", 1, 17, 14, -1, -1, true, false, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SystemSettings settings;
        settings.giCommStyle = c.style;
        settings.giCommPort = c.port;
        settings.giBaudRate = c.rate;
        TFrmSetComm dialog(settings);
        for (QWidget* control :
             {static_cast<QWidget*>(dialog.cbCommPort), static_cast<QWidget*>(dialog.cbrate),
              static_cast<QWidget*>(dialog.lblcommPort), static_cast<QWidget*>(dialog.lblBaudRate)})
            EXPECT_EQ(control->isEnabled(), !c.greyed);
        if (c.pickPort >= 0)
            dialog.cbCommPort->setCurrentIndex(c.pickPort);
        if (c.pickRate >= 0)
            dialog.cbrate->setCurrentIndex(c.pickRate);
        (c.confirm ? dialog.BtnOK : dialog.BtnCancel)->click();
        EXPECT_EQ(dialog.result(), c.confirm ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(settings.giCommStyle, c.wantStyle);
        EXPECT_EQ(settings.giCommPort, c.wantPort);
        EXPECT_EQ(settings.giBaudRate, c.wantRate);
    }
}

} // namespace
