#pragma once

#include "DeviceOptions.h"

#include <cstdio>

// Exit codes of the device commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // a file could not be written, no such stored test
inline constexpr int kExitUsage = 2;
inline constexpr int kExitLinkFailed = 3; // an exchange with the tester failed

// Runs identify, history or fetch with the link settings of the settings
// file in the program folder and the options. Needs a QCoreApplication.
// Results go to `out`, progress and errors to `err`.
int RunDeviceCommand(const DeviceOptions& options, std::FILE* out, std::FILE* err);
