// Connecting to the tester and sending it the parameters.
#include "UMain.h"

#include "Helpers.h"
#include "IdentifyTester.h"
#include "Identity.h"
#include "Message.h"
#include "Requests.h"
#include "Responses.h"
#include "UCommUnit.h"
#include "UDataCenter.h"

#include <QLabel>
#include <QPushButton>

namespace {
const QString kConnect = QStringLiteral("连接设备");
const QString kNewTest = QStringLiteral("新建测试");
const QString kDisconnected = QStringLiteral("设备已断开！");
const QString kConnected = QStringLiteral("已连接");
} // namespace

void TFrmMain::btnUpdateListClick() {
    if (btnUpdateList->text().contains(kConnect)) {
        if (!Connect())
            return;
        btnUpdateList->setText(kNewTest);
        Delay(2000);
        UnlockParamPanel();
        BtnSampleData->setEnabled(true);
    }
    // A new test.
    ClearTestDisplay();
    UnlockParamPanel();
}

bool TFrmMain::Connect() {
    const std::optional<TesterIdentity> identity = IdentifyTester();
    if (!identity) {
        dc_.link.Connected = false;
        StatusPanels[0]->setText(kDisconnected);
        ShowMessage(kDisconnected, MsgIcon::Warning);
        return false;
    }
    // The brand is asked again before printing; connecting leaves it.
    StatusPanels[0]->setText(identity->text + kConnected);
    dc_.link.Connected = true;
    return true;
}

void TFrmMain::QueryBrand() {
    dc_.link.Brand = 0;
    const std::optional<TesterIdentity> identity = IdentifyTester();
    if (!identity) {
        if (dc_.settings.giCommStyle != 0) {
            dc_.link.Connected = false;
            StatusPanels[0]->setText(kDisconnected);
        }
        return;
    }
    dc_.link.Brand = identity->brand;
    StatusPanels[0]->setText(identity->text + kConnected);
}

bool TFrmMain::SendParams() {
    if (!dc_.link.Connected) {
        ShowMessage(QStringLiteral("通讯失败！请确保设备连接正确！"), MsgIcon::Error);
        return false;
    }
    QByteArray response;
    if (!Transact(SetParamsRequest(dc_.record.params, dc_.record.params.iSeriesType), response)) {
        ShowMessage(QStringLiteral("通讯失败！"), MsgIcon::Error);
        return false;
    }
    if (IsAck(response))
        return true;
    ShowMessage(QStringLiteral("发送参数失败！"), MsgIcon::Error);
    return false;
}
