// The commands that run a conversation with the tester: a live test, the
// upload of a stored test, the choice of port.
#include "UMain.h"

#include "Archive.h"
#include "HistoryUpload.h"
#include "LiveTest.h"
#include "Message.h"
#include "PortList.h"
#include "RunTest.h"
#include "UDataCenter.h"
#include "UDlgSetComm.h"

#include <QCoreApplication>
#include <QThread>

void TFrmMain::BtnTestClick() {
    if (!ReadParamPanel())
        return;
    if (!Link().State().Connected) {
        ShowMessage(
            QCoreApplication::translate("UMainProcedures", "通讯失败！请确保设备连接正确！"),
            MsgIcon::Error);
        return;
    }
    LiveTest live(tester_, dc_.record, WindowPace(), WindowRules());
    if (!ParamsTaken(live.Step()))
        return;
    LockParamPanel(); // until "新建测试"
    const LiveResult started = live.Step();
    if (started.failure == LiveFailure::NoAnswer) {
        ShowMessage(QCoreApplication::translate("UMainProcedures", "通讯失败！"), MsgIcon::Error);
        // The request may have reached the tester and started the charge
        // even though its answer was lost: stop it all the same, quietly.
        if (live.Next() == LiveStep::Stop)
            QThread::msleep(quint64(live.Step().delayMs));
        return;
    }
    if (started.Failed())
        ShowMessage(QCoreApplication::translate("UMainProcedures", "开始充电失败！"),
                    MsgIcon::Error);
    else
        RunTest(this, live, [this] {
            RedrawChart();
            ShowResults();
            KeepShownTest(TestSource::Live);
        });
    live.Interrupt(); // whatever the trigger wait left: the stop is next
    const LiveResult stopped = live.Step();
    if (stopped.Failed())
        ShowMessage(QCoreApplication::translate("UMainProcedures", "通讯失败！"), MsgIcon::Error);
    // The tester needs a moment after the stop; it gets it without our events.
    QThread::msleep(quint64(stopped.delayMs));
}

void TFrmMain::BtnSampleDataClick() {
    UploadFromHistory(this, Link(), dc_.record, [this] {
        LockParamPanel();
        RedrawChart();
        ShowResults();
        dc_.record.HasData = true;
        FillParamPanel();
        KeepShownTest(TestSource::History);
    });
}

void TFrmMain::BtnSetCommClick() {
    TFrmSetComm dialog(dc_.settings, this, SerialPortList());
    dialog.exec();
}
