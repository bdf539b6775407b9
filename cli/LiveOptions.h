#pragma once

#include "DeviceOptions.h"
#include "ParamRules.h"
#include "TestRecord.h"

#include <QString>
#include <QStringList>
#include <optional>

// The options of live: parameter overrides, the link and the output file.
struct LiveOptions {
    DeviceOptions link;
    std::optional<int> switchType;      // --switch-type 0..1
    std::optional<int> testMode;        // --test-mode 0..1
    std::optional<int> step;            // --step 0..197
    std::optional<int> filter;          // --filter 0..3
    std::optional<int> charge;          // --charge 0..19, 0 manual
    std::optional<int> waveform;        // --waveform 0..1
    std::optional<int> thresholdTenths; // --threshold X ohm, held as round(X * 10)
    std::optional<int> preSample;       // --presample 0..255
    QString output;                     // -o FILE.cty
};

// Parses the arguments after "live"; the error text when they are wrong.
std::optional<QString> ParseLiveArgs(const QStringList& args, LiveOptions& options);

// The settings file's parameters with the options applied, as the parameter
// panel would hold them; the error text when a value is outside its list.
std::optional<QString> ApplyParamOptions(const LiveOptions& options, TestParams& params);

QByteArray LiveUsage();
