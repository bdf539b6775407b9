#pragma once

#include "Tester.h"

#include <QString>
#include <optional>

struct TesterIdentity {
    int code = 0;  // serial: the tester's answer byte as it is; USB: the brand of the string
    int brand = 0; // 0 none, 1 "Aulex", 2 "Borvin"
    QString text;  // serial: the brand text; USB: the device string
};

// Asks the tester over its transport who it is: CMD_IDENTIFY on the serial
// line, the device string of the USB bridge. Nothing when it does not
// answer. The status bar shows `text` followed by "已连接".
std::optional<TesterIdentity> IdentifyTester(Tester& tester);
