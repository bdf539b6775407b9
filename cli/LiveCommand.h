#pragma once

#include "LiveOptions.h"

#include <cstdio>

// The pace of a live test in ms. The tester expects these; tests shorten
// the waits that would make them slow.
struct LiveTiming {
    int chargeSecondMs = 1000;  // one charge second: one status poll, 1/5 of a charge-time step
    int triggerPollMs = 3000;   // from arming to the first trigger poll, and between polls
    int triggerWaitMs = 180000; // no poll later than this after arming
    int blockGapMs = 100;       // before each upload block
    int afterStopMs = 1000;     // the tester settles after the stop
};

// Runs live with the settings file of the program folder. Needs a QCoreApplication.
int RunLive(const LiveOptions& options, std::FILE* out, std::FILE* err);

// The same with the settings already in UDataCenter.
int RunLiveTest(const LiveOptions& options, const LiveTiming& timing, std::FILE* out,
                std::FILE* err);
