#pragma once

#include "DeviceOptions.h"
#include "ExitCodes.h"
#include "TerminalText.h"
#include "Tester.h"

#include <QString>
#include <cstdio>

// The "通讯失败！" line of an exchange that failed: what failed, why as far
// as the link can tell, over which link. Returns kExitLinkFailed.
int LinkFailed(std::FILE* err, const Tester& tester, const QString& what);

// Runs identify, history or fetch with the link settings of the settings
// file in the program folder and the options. Needs a QCoreApplication.
// Results go to `out`, progress and errors to `err`.
int RunDeviceCommand(const DeviceOptions& options, std::FILE* out, std::FILE* err);
