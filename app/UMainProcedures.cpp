// The commands that run a conversation with the tester: a live test, the
// upload of a stored test, the choice of port.
#include "UMain.h"

#include "HistoryUpload.h"
#include "Message.h"
#include "Requests.h"
#include "Responses.h"
#include "RunTest.h"
#include "UCommUnit.h"
#include "UDataCenter.h"
#include "UDlgSetComm.h"

#include <QThread>

void TFrmMain::BtnTestClick() {
    if (!ReadParamPanel() || !SendParams())
        return;
    LockParamPanel(); // until "新建测试"
    QByteArray response;
    const bool started = Transact(StartChargeRequest(), response);
    if (!started) {
        ShowMessage(QStringLiteral("通讯失败！"), MsgIcon::Error);
        // The request may have reached the tester and started the charge
        // even though its answer was lost: stop it all the same, quietly.
        if (RequestMayHaveArrived()) {
            QByteArray stopResponse;
            Transact(StopRequest(), stopResponse);
            QThread::msleep(1000);
        }
        return;
    }
    if (IsAck(response))
        RunTest(this, dc_.record, [this] {
            RedrawChart();
            ShowResults();
        });
    else
        ShowMessage(QStringLiteral("开始充电失败！"), MsgIcon::Error);
    QByteArray stopResponse;
    if (!Transact(StopRequest(), stopResponse))
        ShowMessage(QStringLiteral("通讯失败！"), MsgIcon::Error);
    // The tester needs a moment after the stop; it gets it without our events.
    QThread::msleep(1000);
}

void TFrmMain::BtnSampleDataClick() {
    UploadFromHistory(this, dc_.record, [this] {
        LockParamPanel();
        RedrawChart();
        ShowResults();
        dc_.record.HasData = true;
        FillParamPanel();
    });
}

void TFrmMain::BtnSetCommClick() {
    TFrmSetComm dialog(dc_.settings, this);
    dialog.exec();
}
