#include "ShownOptions.h"

#include "FileNames.h"
#include "MarkerFinder.h"
#include "NativeFile.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "TestFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <sys/stat.h>

namespace {

std::optional<QString> ParseMarker(const QString& value, ShownOptions& options) {
    static const QRegularExpression form(
        QStringLiteral("^([ABCabc])=(\\d{1,9}),(\\d{1,9}),(\\d{1,9}),(\\d{1,9})$"));
    const auto match = form.match(value);
    if (!match.hasMatch())
        return QStringLiteral("--marker %1: expected P=t1,t2,t3,t4 with P one of A, B, C")
            .arg(value);
    std::array<int, 4> t{};
    for (int i = 0; i < 4; ++i)
        t[i] = match.captured(i + 2).toInt();
    if (!(0 <= t[0] && t[0] <= t[1] && t[1] <= t[2] && t[2] <= t[3] && t[3] <= kSampleCount))
        return QStringLiteral("--marker %1: need 0 <= t1 <= t2 <= t3 <= t4 <= %2")
            .arg(value)
            .arg(kSampleCount);
    options.markers[match.captured(1).toUpper().at(0).unicode() - 'A'] = t;
    return std::nullopt;
}

std::optional<QString> ParseColor(const QString& value, ShownOptions& options) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,3}),(\\d{1,3}),(\\d{1,3})$"));
    const auto match = form.match(value);
    const int r = match.captured(1).toInt(), g = match.captured(2).toInt(),
              b = match.captured(3).toInt();
    if (!match.hasMatch() || r > 255 || g > 255 || b > 255)
        return QStringLiteral("--color %1: expected R,G,B, each 0..255").arg(value);
    options.color = ChartColor{r, g, b};
    return std::nullopt;
}

std::optional<QString> ParseBrand(const QString& value, ShownOptions& options) {
    if (value != u"0" && value != u"1" && value != u"2")
        return QStringLiteral("--brand %1: expected 0, 1 or 2").arg(value);
    options.brand = value.toInt();
    return std::nullopt;
}

} // namespace

OptionParse ParseShownOption(const QStringList& args, qsizetype& i, unsigned accepted,
                             ShownOptions& options, QString& error) {
    const QString& arg = args[i];
    if ((accepted & kInvertedOption) && arg == u"--inverted") {
        options.inverted = true;
        return OptionParse::Taken;
    }
    if ((accepted & kForceOption) && arg == u"--force") {
        options.force = true;
        return OptionParse::Taken;
    }
    if ((accepted & kAutoMarkersOption) && arg == u"--auto-markers") {
        options.autoMarkers = true;
        return OptionParse::Taken;
    }
    struct Valued {
        unsigned bit;
        QString name;
        std::optional<QString> (*parse)(const QString&, ShownOptions&);
        const char* form;
    };
    const Valued valued[] = {
        {kMarkerOption, QStringLiteral("--marker"), ParseMarker, "P=t1,t2,t3,t4"},
        {kColorOption, QStringLiteral("--color"), ParseColor, "R,G,B"},
        {kBrandOption, QStringLiteral("--brand"), ParseBrand, "0, 1 or 2"},
    };
    for (const Valued& v : valued) {
        if (!(accepted & v.bit))
            continue;
        QString value;
        if (arg == v.name) {
            if (++i == args.size()) {
                error = QStringLiteral("%1 needs a value %2").arg(v.name, QLatin1String(v.form));
                return OptionParse::Bad;
            }
            value = args[i];
        } else if (arg.startsWith(v.name + u'=')) {
            value = arg.mid(v.name.size() + 1);
        } else {
            continue;
        }
        if (auto bad = v.parse(value, options)) {
            error = *bad;
            return OptionParse::Bad;
        }
        return OptionParse::Taken;
    }
    return OptionParse::NotMine;
}

TransitionMarkers MarkersFor(const ShownOptions& options, const TestRecord& record,
                             std::array<bool, 3>* found, std::array<double, 3>* quality) {
    TransitionMarkers markers = StartMarkers(record.params);
    std::array<bool, 3> placed{};
    std::array<double, 3> clear{};
    if (options.autoMarkers) {
        const auto edges = FindDrawnMarkers(record);
        for (int p = 0; p < 3; ++p)
            if (edges[p]) {
                markers.phase[p] = edges[p]->t;
                placed[p] = true;
                clear[p] = edges[p]->quality;
            }
    }
    for (int p = 0; p < 3; ++p)
        if (options.markers[p])
            markers.phase[p] = *options.markers[p];
    if (found)
        *found = placed;
    if (quality)
        *quality = clear;
    return markers;
}

ShownTest ShownFromFile(const TestRecord& record, const ShownOptions& options,
                        ChartColor settingsColor) {
    TestRecord shown = record;
    shown.HasData = true; // a file that was read is a test on display
    return ShownTestOf(shown, MarkersFor(options, record), options.inverted,
                       options.color.value_or(settingsColor), options.brand);
}

QString ReadTestFor(const QString& path, TestRecord& record, bool force) {
    // Only a file that is there is judged by its name: what is missing or
    // not a file says so first.
    if (!force && !IsTestFileName(path) && KindOf(path) == FileKind::Regular)
        return QStringLiteral("not a test file: the name does not end in .cty (--force reads it)");
    QString detail;
    const TestFileError error = LoadTestFile(path, record, &detail);
    if (error == TestFileError::None)
        return {};
    QString reason = TestFileErrorText(error);
    if (!detail.isEmpty())
        reason += QStringLiteral(" (%1)").arg(detail);
    return reason;
}

std::optional<QString> ParseFileCommandArgs(const QStringList& args, unsigned accepted,
                                            ShownOptions& shown, QStringList& files,
                                            const OwnOptions& own) {
    bool onlyFiles = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (onlyFiles || !arg.startsWith(u'-') || arg == u"-") {
            files << arg;
            continue;
        }
        if (arg == u"--") {
            onlyFiles = true;
            continue;
        }
        QString error;
        OptionParse parse = own(args, i, error);
        if (parse == OptionParse::NotMine)
            parse = ParseShownOption(args, i, accepted, shown, error);
        if (parse == OptionParse::Bad)
            return error;
        if (parse == OptionParse::NotMine)
            return QStringLiteral("unknown option %1").arg(arg);
    }
    return std::nullopt;
}

OptionParse TakeValue(const QStringList& args, qsizetype& i, QString& target, QString& error) {
    if (i + 1 == args.size()) {
        error = QStringLiteral("%1 needs a value").arg(args[i]);
        return OptionParse::Bad;
    }
    target = args[++i];
    return OptionParse::Taken;
}

ChartColor SettingsChartColor() {
    const SystemSettings s = ReadSettingsFile(SettingsPath()); // no path: the defaults
    return {s.gRColor, s.gGColor, s.gBColor};
}

QString OutputRefusal(const QString& output, const QStringList& inputs,
                      const QStringList& extensions) {
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (!extensions.contains(suffix)) {
        QStringList dotted;
        for (const QString& e : extensions)
            dotted << u'.' + e;
        return QStringLiteral("%1: writes only %2").arg(output, dotted.join(QStringLiteral(", ")));
    }
    struct stat out;
    if (::stat(NativeFileName(output).constData(), &out) != 0)
        return {}; // nothing there yet: no input can be it
    for (const QString& input : inputs)
        if (struct stat in; ::stat(NativeFileName(input).constData(), &in) == 0 &&
                            in.st_dev == out.st_dev && in.st_ino == out.st_ino)
            return QStringLiteral("%1 is the test file %2: writing it would destroy the test")
                .arg(output, input);
    return {};
}

QByteArray ShownOptionsUsage(unsigned accepted) {
    QByteArray text;
    if (accepted & kMarkerOption)
        text += "  --marker P=t1,t2,t3,t4  the four marker sample indices of phase P (A, B\n"
                "              or C), 0 <= t1 <= t2 <= t3 <= t4 <= 2688; by default the\n"
                "              markers stand at 100, 200, 300, 400 on the phases drawn\n";
    if (accepted & kAutoMarkersOption)
        text += "  --auto-markers  the markers on the edges of each drawn phase's waveform;\n"
                "              a phase without a transition keeps its default markers\n";
    if (accepted & kInvertedOption)
        text += "  --inverted  as with the inversion box checked\n";
    if (accepted & kColorOption)
        text += "  --color R,G,B  the chart background (default: the settings file's)\n";
    if (accepted & kForceOption)
        text += "  --force     reads files whose names do not end in .cty as tests\n";
    if (accepted & kBrandOption)
        text += "  --brand 0|1|2  the tester's maker: none, Aulex, Borvin (default 0); the\n"
                "              report's footer, COMTRADE's recording device\n";
    return text;
}
