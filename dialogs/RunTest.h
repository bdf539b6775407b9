#pragma once

#include <QtGlobal>
#include <functional>

class QWidget;
struct TestRecord;

// Rounds of at least 10 ms that the trigger wait and upload may take, about
// three minutes.
inline constexpr int kSampleWaitRounds = 18000;

// The charge-and-capture procedure of a live test: the charging dialog
// (modal, charge time from record.params.iChargeTime); on OK the trigger
// wait, which uploads the capture into `record` and then runs `showTest`
// (the main window redraws its chart and shows the results) before the
// record is marked as holding data. Returns in every case, at the latest
// after `rounds` rounds; the caller sends the stop command afterwards.
void RunTest(QWidget* parent, TestRecord& record, std::function<void()> showTest,
             int rounds = kSampleWaitRounds);
