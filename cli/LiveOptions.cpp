#include "LiveOptions.h"

#include "ParamLists.h"

#include <QRegularExpression>

namespace {

// Only digits (and a point where allowed), as the panel's boxes accept them.
std::optional<int> Whole(const QString& text, int low, int high) {
    static const QRegularExpression digits(QStringLiteral("^\\d{1,9}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const int value = text.toInt();
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

struct ParamOption {
    const char* name;
    std::optional<int> LiveOptions::*field;
    int high;
    const char* what;
};

const ParamOption kParamOptions[] = {
    {"--switch-type", &LiveOptions::switchType, 1, "switch type"},
    {"--test-mode", &LiveOptions::testMode, 1, "test mode"},
    {"--step", &LiveOptions::step, 197, "tap step index"},
    {"--filter", &LiveOptions::filter, 3, "filter depth index"},
    {"--charge", &LiveOptions::charge, 19, "charge time index (0 manual, k: 5k s)"},
    {"--waveform", &LiveOptions::waveform, 1, "waveform type"},
    {"--presample", &LiveOptions::preSample, kMaxPreSamplePoints, "pre-sample length in points"},
};

// One field of the settings file that no option replaced: it must be one
// the panel can show, or the test would run with a value nobody chose.
std::optional<QString> CheckField(const char* key, int value, int high, const char* option) {
    if (value >= 0 && value <= high)
        return std::nullopt;
    return QStringLiteral("%1=%2 of SystemFile.ini is outside 0..%3; give %4")
        .arg(key)
        .arg(value)
        .arg(high)
        .arg(option);
}

// "0 a, 1 b, ..." of a parameter's list, as the window names them.
QByteArray Choices(const QStringList& items) {
    QStringList named;
    for (qsizetype i = 0; i < items.size(); ++i)
        named << QStringLiteral("%1 %2").arg(i).arg(items[i]);
    return named.join(QStringLiteral(", ")).toUtf8();
}

} // namespace

QByteArray LiveUsage() {
    return "usage: oltc-cli live -o FILE.cty [--switch-type N] [--test-mode N] [--step N]\n"
           "                     [--filter N] [--charge N] [--waveform N] [--threshold X]\n"
           "                     [--presample N] [--port N] [--baud-index I] [--usb]\n"
           "  Runs a live test: sends the parameters, charges, waits for the tap changer\n"
           "  to operate (at most 180 s), uploads phases A, B, C and the rotation, stops\n"
           "  the tester, writes FILE.cty and prints it as show does. Progress on stderr.\n"
           "  Parameters default to SystemFile.ini; each option replaces one:\n"
           "  --switch-type N  " +
           Choices(SwitchTypeItems()) +
           "\n"
           "  --test-mode N    0..1; switch type 0 has only mode 0\n"
           "  --step N         tap step index 0..197 (0: 0 <- 1, 1: 0 -> 1, ...)\n"
           "  --filter N       filter depth " +
           Choices(SampleLengthItems()) +
           "\n"
           "  --charge N       charge time N*5 s, 1..19; 0 starts the trigger wait at once\n"
           "  --waveform N     " +
           Choices(SeriesTypeItems()) +
           "\n"
           "  --threshold X    trigger threshold 0.1..20 ohm, one decimal\n"
           "  --presample N    pre-sample points 0..255\n"
           "  --port N         serial port COMN (1..16)\n"
           "  --baud-index I   speed index 1..13 (7: 19200 bit/s, 12: 115200)\n"
           "  --usb            the USB bridge instead of the serial port\n"
           "  --archive A      keep the test in the archive A (a file or a postgresql://\n"
           "                   URL) instead of the program folder's archive.sqlite\n"
           "  --no-archive     keep it in no archive\n"
           "  Exit codes: 0 done, 1 the file could not be written, 2 bad arguments,\n"
           "  3 the tester failed or refused, or no operation was captured.\n";
}

std::optional<QString> ParseLiveArgs(const QStringList& args, LiveOptions& options) {
    options = LiveOptions();
    QStringList linkArgs;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const auto value = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
        const ParamOption* param = nullptr;
        for (const ParamOption& p : kParamOptions)
            if (arg == QLatin1StringView(p.name))
                param = &p;
        if (param) {
            const auto number = Whole(value(), 0, param->high);
            if (!number)
                return QStringLiteral("%1 needs a %2, 0..%3")
                    .arg(arg, param->what)
                    .arg(param->high);
            options.*(param->field) = number;
        } else if (arg == u"--threshold") {
            options.thresholdTenths = ThresholdTenths(value());
            if (!options.thresholdTenths)
                return QStringLiteral("--threshold needs 0.1..20 ohm with one decimal");
        } else if (arg == u"-o" || arg == u"--output") {
            options.output = value();
            if (options.output.isEmpty())
                return QStringLiteral("%1 needs a file name").arg(arg);
        } else if (arg == u"--port" || arg == u"--baud-index") {
            linkArgs << arg;
            if (i + 1 < args.size())
                linkArgs << args[++i];
        } else if (arg == u"--usb" || arg == u"--no-archive") {
            linkArgs << arg;
        } else if (arg == u"--archive") {
            linkArgs << arg;
            if (i + 1 < args.size())
                linkArgs << args[++i];
        } else if (arg.startsWith(u'-')) {
            return QStringLiteral("unknown option %1").arg(arg);
        } else {
            return QStringLiteral("unexpected argument %1").arg(arg);
        }
    }
    if (auto error = ParseDeviceArgs(QStringLiteral("live"), linkArgs, options.link))
        return error;
    if (options.output.isEmpty())
        return QStringLiteral("live needs -o FILE.cty");
    return std::nullopt;
}

std::optional<QString> ApplyParamOptions(const LiveOptions& options, TestParams& params) {
    const auto take = [](quint8& field, const std::optional<int>& option) {
        if (option)
            field = quint8(*option);
    };
    take(params.iSwitchType, options.switchType);
    take(params.iTestMode, options.testMode);
    take(params.iTestStep, options.step);
    take(params.iSampleLength, options.filter);
    take(params.iChargeTime, options.charge);
    take(params.iSeriesType, options.waveform);
    if (options.thresholdTenths)
        params.iSampleBurst = *options.thresholdTenths;
    if (options.preSample)
        params.iSamplePoint = *options.preSample;

    if (auto e = CheckField("iSwitchType", params.iSwitchType, 1, "--switch-type"))
        return e;
    if (params.iSwitchType == 0) {
        if (options.testMode.value_or(0) != 0)
            return QStringLiteral("switch type 0 has only test mode 0");
        params.iTestMode = 0; // the panel lists one mode for this type
    }
    const std::optional<QString> errors[] = {
        CheckField("iTestMode", params.iTestMode, 1, "--test-mode"),
        CheckField("iTestStep", params.iTestStep, 197, "--step"),
        CheckField("iSampleLength", params.iSampleLength, 3, "--filter"),
        CheckField("iChargeTime", params.iChargeTime, 19, "--charge"),
        CheckField("iSeriesType", params.iSeriesType, 1, "--waveform"),
        CheckField("iSamplePoint", params.iSamplePoint, kMaxPreSamplePoints, "--presample"),
    };
    for (const auto& e : errors)
        if (e)
            return e;
    if (params.iSampleBurst < 1 || params.iSampleBurst > 200)
        return QStringLiteral("iSampleBurst=%1 of SystemFile.ini is outside 1..200 (0.1..20 "
                              "ohm); give --threshold")
            .arg(params.iSampleBurst);
    return std::nullopt;
}
