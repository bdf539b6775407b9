#include "MainWindowFixture.h"
#include "PortNames.h"
#include "SerialFront.h"
#include "TQRMain.h"
#include "UDlgPreview.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

// The main window against the simulated tester on a pseudo-terminal.
class LinkTest : public MainWindowTest {
protected:
    void StartTester(SimConfig config) {
        config.baudIndex = kFast;
        front = std::make_unique<SerialFront>(config);
        QString error;
        ASSERT_TRUE(front->Start(folder.path(), 1, &error)) << error.toStdString();
    }
    void SetUp() override {
        MainWindowTest::SetUp();
        SetPortsFolder(FilePath("ports"));
        SystemSettings& s = UDataCenter().settings;
        s.giCommStyle = 1;
        s.giCommPort = 1;
        s.giBaudRate = kFast;
    }
    void TearDown() override {
        if (front)
            front->Stop();
        SetPortsFolder({});
        MainWindowTest::TearDown();
    }
    QStringList Wire() const {
        QStringList lines;
        for (const LoggedRequest& r : front->Requests())
            lines << r.HexText();
        return lines;
    }

    static constexpr int kFast = 12; // 115200 bit/s
    std::unique_ptr<SerialFront> front;
};

} // namespace

TEST_F(LinkTest, ConnectingNamesTheBrandAndUnlocksThePanel) {
    struct Case {
        quint8 brand;
        const char* status;
    };
    for (const Case c : {Case{2, "Borvin已连接"}, Case{7, "已连接"}}) {
        SCOPED_TRACE(c.status);
        SimConfig config;
        config.brand = c.brand;
        StartTester(config);
        window->btnUpdateList->setText(QStringLiteral("连接设备"));
        window->btnUpdateList->click();
        EXPECT_EQ(window->StatusPanels[0]->text(), QString::fromUtf8(c.status));
        EXPECT_TRUE(window->Link().State().Connected);
        EXPECT_EQ(window->Link().State().Brand, 1) << "connecting leaves the brand";
        EXPECT_EQ(window->btnUpdateList->text(), u"新建测试");
        EXPECT_TRUE(window->BtnSampleData->isEnabled());
        EXPECT_TRUE(window->cbSwitchType->isEnabled());
        EXPECT_EQ(Wire(), QStringList{QStringLiteral("F0 00 00 00 00 00 00 00")});
        EXPECT_TRUE(messages.isEmpty());
        front->Stop();
    }
    // A new test never asks the tester.
    front->ClearRequests();
    window->btnUpdateList->click();
    EXPECT_TRUE(Wire().isEmpty());
}

TEST_F(LinkTest, NoTesterLeavesTheButtonAndSaysSo) {
    // COM1 names a device that is not there.
    ASSERT_TRUE(QDir().mkpath(FilePath("ports")));
    ASSERT_TRUE(QFile::link(FilePath("no-such-device"), FilePath("ports/COM1")));
    window->btnUpdateList->click();
    EXPECT_EQ(messages, QStringList{QStringLiteral("设备已断开！")});
    EXPECT_EQ(icons, std::vector<MsgIcon>{MsgIcon::Warning});
    EXPECT_EQ(window->StatusPanels[0]->text(), u"设备已断开！");
    EXPECT_EQ(window->btnUpdateList->text(), u"连接设备");
    EXPECT_FALSE(window->cbSwitchType->isEnabled());
    EXPECT_EQ(window->Link().State().LinkError, 2) << "the port could not be opened";
}

TEST_F(LinkTest, ParametersGoToTheTesterOnEveryAcceptedChange) {
    SimConfig config;
    config.faults = {*ParseFault(QStringLiteral("F4:nak:1:1"))};
    StartTester(config);
    window->Link().State().Connected = true;
    Record().params = {1, 0, 5, 3, 0, 0, 1, 20};
    window->FillParamPanel(); // filling sends nothing
    window->UnlockParamPanel();
    EXPECT_TRUE(Wire().isEmpty());
    window->EdtSampleBurst->setText("1.2"); // an accepted change: the frame goes out
    const QStringList wire = Wire();
    ASSERT_EQ(wire.size(), 1);
    EXPECT_EQ(wire[0], u"F4 01 00 05 0C 14 14 00");
    EXPECT_EQ(messages, QStringList{QStringLiteral("发送参数失败！")}) << "the first is refused";
    messages.clear();
    EXPECT_TRUE(window->SendParams());
    EXPECT_TRUE(messages.isEmpty());

    // Typing an incomplete threshold sends nothing.
    front->ClearRequests();
    window->EdtSampleBurst->setText("20.");
    window->EdtSampleBurst->setText("20.5");
    EXPECT_EQ(Wire().size(), 1) << "20. is 20 and goes; 20.5 is out of range and does not";
}

TEST_F(LinkTest, TheBrandIsAskedBeforePrinting) {
    SimConfig config;
    config.brand = 2;
    StartTester(config);
    window->QueryBrand();
    EXPECT_EQ(window->Link().State().Brand, 2);
    EXPECT_EQ(window->StatusPanels[0]->text(), u"Borvin已连接");
    front->Stop();
    window->Link().State().Connected = true;
    window->QueryBrand();
    EXPECT_EQ(window->Link().State().Brand, 0);
    EXPECT_FALSE(window->Link().State().Connected);
    EXPECT_EQ(window->StatusPanels[0]->text(), u"设备已断开！");
    EXPECT_TRUE(messages.isEmpty()) << "a failed brand query shows no message";
}

// "打印": the brand is asked, the preview shows the window's texts with that
// maker, the click waits for the preview, and a second click opens no second.
TEST_F(LinkTest, PrintShowsTheWindowsReportUntilThePreviewCloses) {
    SimConfig config;
    config.brand = 2;
    StartTester(config);
    answer = WriteTest("t.cty");
    window->BtnOpen->click();
    const ShownTest shown = window->ShownNow();
    bool checked = false;
    QTimer::singleShot(0, window.get(), [&] {
        TFrmPreview* preview = window->QRMain->OpenPreview();
        ASSERT_NE(preview, nullptr);
        const ReportPage& page = preview->Page();
        EXPECT_EQ(page.Text("QRLCoop")->text, u"Borvincorp");
        EXPECT_EQ(page.Text("qrlAR1")->text, shown.boxes[4]);
        EXPECT_EQ(page.Text("qrlUser")->text, u"Li");
        const int requests = int(front->Requests().size());
        window->BtnPrint->click(); // refills the report, starts no second preview
        EXPECT_EQ(window->QRMain->OpenPreview(), preview);
        EXPECT_EQ(int(front->Requests().size()), requests + 1) << "the brand is asked again";
        checked = true;
        preview->tbExit->click();
    });
    window->BtnPrint->click();
    EXPECT_TRUE(checked);
    EXPECT_FALSE(window->QRMain->Previewing());
    EXPECT_EQ(window->Link().State().Brand, 2);
    EXPECT_TRUE(messages.isEmpty());
}

// "打印" with a preview open: the brand is asked and the report refilled from
// what the window shows now, while the open preview keeps its page and no
// second one starts.
TEST_F(LinkTest, PrintWithAPreviewOpenAsksTheBrandAndRefillsTheReport) {
    SimConfig config;
    config.brand = 2;
    StartTester(config);
    answer = WriteTest("t.cty");
    window->BtnOpen->click();
    struct Case {
        const char* what;
        bool testerThere;
        const char* user;
        const char* maker;
        int brand;
    };
    const Case cases[] = {
        {"the tester answers", true, "Wang", "Borvincorp", 2},
        {"the tester is gone", false, "Zhao", "", 0},
    };
    int previews = 0;
    QTimer::singleShot(0, window.get(), [&] {
        TFrmPreview* preview = window->QRMain->OpenPreview();
        ASSERT_NE(preview, nullptr);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            if (!c.testerThere)
                front->Stop();
            front->ClearRequests();
            SetQuietly(window->EdtUser, QString::fromLatin1(c.user));
            window->BtnPrint->click();
            EXPECT_EQ(Wire(), c.testerThere ? QStringList{QStringLiteral("F0 00 00 00 00 00 00 00")}
                                            : QStringList{});
            EXPECT_EQ(window->Link().State().Brand, c.brand) << "the brand was asked";
            const ReportPage& filled = window->QRMain->Page();
            EXPECT_EQ(filled.Text("qrlUser")->text, QString::fromLatin1(c.user)) << "refilled";
            EXPECT_EQ(filled.Text("QRLCoop")->text, QString::fromLatin1(c.maker));
            EXPECT_EQ(window->QRMain->OpenPreview(), preview);
            EXPECT_EQ(preview->Page().Text("qrlUser")->text, u"Li") << "the shown page stays";
            EXPECT_EQ(preview->Page().Text("QRLCoop")->text, u"Borvincorp");
        }
        for (QWidget* w : QApplication::topLevelWidgets())
            previews += qobject_cast<TFrmPreview*>(w) != nullptr;
        preview->tbExit->click();
    });
    window->BtnPrint->click();
    EXPECT_EQ(previews, 1);
    EXPECT_FALSE(window->QRMain->Previewing());
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u' ').toStdString();
}
