#include "RunTest.h"

#include "Helpers.h"
#include "LiveTest.h"
#include "UDlgCharge.h"
#include "UDlgSampleData.h"

#include <QCoreApplication>
#include <QPointer>

void RunTest(QWidget* parent, LiveTest& live, std::function<void()> showTest, int rounds) {
    auto* charge = new TFrmCharge(live, parent);
    charge->setAttribute(Qt::WA_DeleteOnClose);
    charge->SetChargeTime(live.Record().params.iChargeTime);
    const bool charged = charge->exec() == QDialog::Accepted;
    live.observer.charge = {};
    if (!charged)
        return;
    live.EndCharge();

    QPointer<TFrmSampleData> sample = new TFrmSampleData(live, std::move(showTest), parent);
    sample->setAttribute(Qt::WA_DeleteOnClose);
    sample->SetTip(QCoreApplication::translate("RunTest", "采样进行中，等待动作分接开关..."));
    sample->SetProcessRange(1, 4);
    sample->show(); // arms the trigger
    for (int round = 0; round < rounds; ++round) {
        sample->SetProcessPosition(sample->CurrentBlock());
        sample->show();
        sample->repaint();
        // The timers tick and the cancel button works only in here.
        Delay(10);
        const int state = sample ? sample->ReadState() : 0;
        if (state == 0 || state == 1)
            break;
    }
    if (sample)
        sample->close();
    live.observer.captured = {};
}
