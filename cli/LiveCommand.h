#pragma once

#include "LiveOptions.h"
#include "LiveTest.h"

#include <cstdio>

// Runs live with the settings file of the program folder. Needs a QCoreApplication.
int RunLive(const LiveOptions& options, std::FILE* out, std::FILE* err);

// The same with the settings already in UDataCenter.
int RunLiveTest(const LiveOptions& options, const LiveTiming& timing, std::FILE* out,
                std::FILE* err);
