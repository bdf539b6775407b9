#pragma once

#include <QtGlobal>
#include <functional>

class QWidget;
class LiveTest;

// Rounds of at least 10 ms that the trigger wait and upload may take, about
// three minutes.
inline constexpr int kSampleWaitRounds = 18000;

// The charge-and-capture procedure of a live test that is charging: the
// charging dialog (modal, charge time from the record's iChargeTime); on OK
// the trigger wait, which uploads the capture into the record and then runs
// `showTest` (the main window redraws its chart and shows the results)
// before the record is marked as holding data. Returns in every case, at the
// latest after `rounds` rounds; the caller sends the stop command afterwards.
void RunTest(QWidget* parent, LiveTest& live, std::function<void()> showTest,
             int rounds = kSampleWaitRounds);
