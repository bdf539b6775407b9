#pragma once

#include "DeviceOptions.h"
#include "TerminalText.h"

#include <QString>
#include <cstdio>

// Exit codes of the device commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1; // a file could not be written, no such stored test
inline constexpr int kExitUsage = 2;
inline constexpr int kExitLinkFailed = 3; // an exchange with the tester failed

// The "通讯失败！" line of an exchange that failed: what failed, why as far
// as the link can tell, over which link. Returns kExitLinkFailed.
int LinkFailed(std::FILE* err, const QString& what);

// Runs identify, history or fetch with the link settings of the settings
// file in the program folder and the options. Needs a QCoreApplication.
// Results go to `out`, progress and errors to `err`.
int RunDeviceCommand(const DeviceOptions& options, std::FILE* out, std::FILE* err);
