#include "RunTest.h"

#include "Helpers.h"
#include "TestRecord.h"
#include "UDlgCharge.h"
#include "UDlgSampleData.h"

#include <QPointer>

void RunTest(QWidget* parent, TestRecord& record, std::function<void()> showTest, int rounds) {
    auto* charge = new TFrmCharge(record.params, parent);
    charge->setAttribute(Qt::WA_DeleteOnClose);
    charge->SetChargeTime(record.params.iChargeTime);
    if (charge->exec() != QDialog::Accepted)
        return;

    QPointer<TFrmSampleData> sample = new TFrmSampleData(record, std::move(showTest), parent);
    sample->setAttribute(Qt::WA_DeleteOnClose);
    sample->SetTip(QStringLiteral("采样进行中，等待动作分接开关..."));
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
}
