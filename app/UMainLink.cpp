// Connecting to the tester and sending it the parameters.
#include "UMain.h"

#include "Helpers.h"
#include "IdentifyTester.h"
#include "Identity.h"
#include "LiveTest.h"
#include "Message.h"
#include "UDataCenter.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace {
// Read when used: the translation is installed after start-up.
QString kConnect() {
    return QCoreApplication::translate("UMainLink", "连接设备");
}
// Read when used: the translation is installed after start-up.
QString kNewTest() {
    return QCoreApplication::translate("UMainLink", "新建测试");
}
// Read when used: the translation is installed after start-up.
QString kDisconnected() {
    return QCoreApplication::translate("UMainLink", "设备已断开！");
}
// Read when used: the translation is installed after start-up.
QString kConnected() {
    return QCoreApplication::translate("UMainLink", "已连接");
}
} // namespace

void TFrmMain::btnUpdateListClick() {
    if (btnUpdateList->text().contains(kConnect())) {
        if (!Connect())
            return;
        btnUpdateList->setText(kNewTest());
        Delay(2000);
        UnlockParamPanel();
        BtnSampleData->setEnabled(true);
    }
    // A new test.
    ClearTestDisplay();
    UnlockParamPanel();
}

Tester& TFrmMain::Link() {
    if (tester_.Comm() != CommSettingsOf(dc_.settings))
        tester_ = Tester(CommSettingsOf(dc_.settings), tester_.State());
    return tester_;
}

bool TFrmMain::Connect() {
    const std::optional<TesterIdentity> identity = IdentifyTester(Link());
    if (!identity) {
        tester_.State().Connected = false;
        StatusPanels[0]->setText(kDisconnected());
        ShowMessage(kDisconnected(), MsgIcon::Warning);
        return false;
    }
    // The brand is asked again before printing; connecting leaves it.
    StatusPanels[0]->setText(identity->text + kConnected());
    tester_.State().Connected = true;
    return true;
}

void TFrmMain::QueryBrand() {
    LinkState& link = Link().State();
    link.Brand = 0;
    const std::optional<TesterIdentity> identity = IdentifyTester(tester_);
    if (!identity) {
        if (!tester_.OverUsb()) {
            link.Connected = false;
            StatusPanels[0]->setText(kDisconnected());
        }
        return;
    }
    link.Brand = identity->brand;
    StatusPanels[0]->setText(identity->text + kConnected());
}

bool TFrmMain::SendParams() {
    if (!Link().State().Connected) {
        ShowMessage(QCoreApplication::translate("UMainLink", "通讯失败！请确保设备连接正确！"),
                    MsgIcon::Error);
        return false;
    }
    // The parameter step of a live test, alone.
    LiveTest params(tester_, dc_.record, WindowPace(), WindowRules());
    return ParamsTaken(params.Step());
}

bool TFrmMain::ParamsTaken(const LiveResult& sent) {
    if (sent.failure == LiveFailure::NoAnswer)
        ShowMessage(QCoreApplication::translate("UMainLink", "通讯失败！"), MsgIcon::Error);
    else if (sent.Failed())
        ShowMessage(QCoreApplication::translate("UMainLink", "发送参数失败！"), MsgIcon::Error);
    return !sent.Failed();
}
