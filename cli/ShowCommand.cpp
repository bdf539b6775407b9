#include "ShowCommand.h"

#include "ExitCodes.h"
#include "FileNames.h"
#include "Helpers.h"
#include "Json.h"
#include "MarkerFinder.h"
#include "ParamLists.h"
#include "ResultBoxes.h"
#include "TerminalText.h"
#include "TestFile.h"

namespace {

constexpr char kPhaseLetters[] = "ABC";

// The text a pick list shows; an index outside the list shows no item,
// here made visible as the raw value in brackets.
QString Shown(const QStringList& items, int index) {
    const QString text = ItemText(items, index);
    return text.isEmpty() ? QStringLiteral("(%1)").arg(index) : text;
}

QString ChargeText(quint8 index) {
    return index == 0 ? Shown(ChargeTimeItems(), 0) : Shown(ChargeTimeItems(), index) + " S";
}

} // namespace

QByteArray ShowUsage() {
    return "usage: oltc-cli show [--json] [--auto-markers] [--marker P=t1,t2,t3,t4]... FILE...\n"
           "  Shows the parameters, header and results of .cty test files.\n"
           "  --json      one JSON object per file (an array for several files)\n" +
           ShownOptionsUsage(kMarkerOption | kAutoMarkersOption | kForceOption);
}

std::optional<QString> ParseShowArgs(const QStringList& args, ShowOptions& options) {
    const auto own = [&options](const QStringList& a, qsizetype& i, QString&) {
        if (a[i] != u"--json")
            return OptionParse::NotMine;
        options.json = true;
        return OptionParse::Taken;
    };
    if (auto error = ParseFileCommandArgs(args, kMarkerOption | kAutoMarkersOption | kForceOption,
                                          options.shown, options.files, own))
        return error;
    if (options.files.isEmpty())
        return QStringLiteral("no test file given");
    return std::nullopt;
}

QByteArray ShowText(const QString& path, const TestRecord& record, const TransitionMarkers& markers,
                    const std::array<bool, 3>* found) {
    const TestParams& tp = record.params;
    const TransitionResults results = ComputeResults(markers, record);
    const auto boxes = ResultBoxTexts(results);
    QString s;
    const auto line = [&s](const QString& caption, const QString& value) {
        s += caption + value + u'\n';
    };
    s += QStringLiteral("== %1\n").arg(path);
    line(QStringLiteral("开关类型："), Shown(SwitchTypeItems(), tp.iSwitchType));
    line(QStringLiteral("测试方式："),
         Shown(TestModeItems(tp.iSwitchType == 0 ? 0 : 1), ShownTestMode(tp)));
    line(QStringLiteral("测试档位："), Shown(TestStepItems(), tp.iTestStep));
    line(QStringLiteral("滤波深度："), Shown(SampleLengthItems(), tp.iSampleLength));
    line(QStringLiteral("充电时间："), ChargeText(tp.iChargeTime));
    line(QStringLiteral("波形："), Shown(SeriesTypeItems(), tp.iSeriesType));
    line(QStringLiteral("采样触发："), FixedText(tp.iSampleBurst, 1) + QStringLiteral(" Ω"));
    line(QStringLiteral("预采样："),
         QStringLiteral("%1 点  %2 mS").arg(tp.iSamplePoint).arg(FixedText(tp.iSamplePoint, 1)));
    line(QStringLiteral("测试人员："), VisibleText(record.strTestUser.Text()));
    line(QStringLiteral("测试地点："), VisibleText(record.strTestAdd.Text()));
    line(QStringLiteral("测试时间："), VisibleText(record.strTestTime.Text()));
    line(QStringLiteral("转角："),
         QStringLiteral("%1 圈 %2 度").arg(boxes[24].text, boxes[25].text));
    s += QStringLiteral("光标        t1    t2    t3    t4\n");
    for (int p = 0; p < 3; ++p) {
        s += QStringLiteral("相 序 %1").arg(QChar(kPhaseLetters[p]));
        for (int t : markers.phase[p])
            s += QStringLiteral("%1").arg(t, 6);
        s += u'\n';
    }
    if (found)
        line(QStringLiteral("自动定位："),
             FoundPhasesText(DrawnPhases(tp.iSwitchType, tp.iTestMode), *found));
    s += QStringLiteral("结果     T1/mS   T2/mS   T3/mS    T/mS    R1/Ω    R2/Ω\n");
    for (int p = 0; p < 3; ++p) {
        s += QStringLiteral("相 序 %1").arg(QChar(kPhaseLetters[p]));
        for (int i = 0; i < 6; ++i)
            s += QStringLiteral("%1").arg(boxes[6 * p + i].text, 8);
        s += u'\n';
    }
    s += QStringLiteral("△T0：%1 mS  △T1：%2 mS  △T2：%3 mS  △T3：%4 mS  △R1：%5 Ω  △R2：%6 Ω\n")
             .arg(boxes[21].text, boxes[18].text, boxes[19].text, boxes[20].text, boxes[22].text,
                  boxes[23].text);
    return TerminalBytes(s);
}

QByteArray ShowJson(const QString& path, const TestRecord& record, const TransitionMarkers& markers,
                    int depth, const std::array<bool, 3>* found) {
    const TestParams& tp = record.params;
    const TransitionResults results = ComputeResults(markers, record);
    const auto number = [](qint64 v) { return QByteArray::number(v); };

    const JsonMembers params = {
        {"iSwitchType", number(tp.iSwitchType)},   {"iTestMode", number(tp.iTestMode)},
        {"iTestStep", number(tp.iTestStep)},       {"iSampleLength", number(tp.iSampleLength)},
        {"iChargeTime", number(tp.iChargeTime)},   {"iSeriesType", number(tp.iSeriesType)},
        {"iSampleBurst", number(tp.iSampleBurst)}, {"iSamplePoint", number(tp.iSamplePoint)},
    };
    JsonMembers markerMembers;
    for (int p = 0; p < 3; ++p)
        markerMembers.push_back({QByteArray(1, kPhaseLetters[p]), JsonIntArray(markers.phase[p])});

    static const char* const kResultKeys[26] = {"AT1", "AT2", "AT3", "AT",    "AR1",  "AR2", "BT1",
                                                "BT2", "BT3", "BT",  "BR1",   "BR2",  "CT1", "CT2",
                                                "CT3", "CT",  "CR1", "CR2",   "dT1",  "dT2", "dT3",
                                                "dT0", "dR1", "dR2", "Loops", "Angle"};
    JsonMembers resultMembers;
    const auto values = results.Values();
    for (size_t i = 0; i < values.size(); ++i)
        resultMembers.push_back({kResultKeys[i], number(values[i])});
    JsonMembers boxMembers;
    for (const ResultBox& box : ResultBoxTexts(results))
        boxMembers.push_back({box.name, JsonString(box.text)});

    JsonMembers file = {
        {"file", JsonString(VisibleText(path))}, // JSON is UTF-8: kept bytes as \xNN
        {"params", JsonObject(params, depth + 1)},
        {"strTestTime", JsonString(record.strTestTime.Text())},
        {"strTestUser", JsonString(record.strTestUser.Text())},
        {"strTestAdd", JsonString(record.strTestAdd.Text())},
        {"iLoops", number(record.iLoops)},
        {"iAngle", number(record.iAngle)},
        {"markers", JsonObject(markerMembers, depth + 1)},
        {"results", JsonObject(resultMembers, depth + 1)},
        {"boxes", JsonObject(boxMembers, depth + 1)},
    };
    if (found) {
        JsonMembers foundMembers;
        for (int p = 0; p < 3; ++p)
            foundMembers.push_back(
                {QByteArray(1, kPhaseLetters[p]), (*found)[p] ? "true" : "false"});
        file.insert(file.begin() + 8, {"found", JsonObject(foundMembers, depth + 1)});
    }
    return JsonObject(file, depth);
}

int RunShow(const QStringList& args, QByteArray& out, QByteArray& err, bool outTerminal,
            bool errTerminal) {
    ShowOptions options;
    if (const auto error = ParseShowArgs(args, options)) {
        err += "oltc-cli show: " + TerminalBytes(*error) + "\n" + ShowUsage();
        return kExitUsage;
    }
    int status = 0;
    int shown = 0;
    std::vector<QByteArray> objects;
    TestRecord record;
    for (const QString& path : options.files) {
        if (const QString reason = ReadTestFor(path, record, options.shown.force);
            !reason.isEmpty()) {
            err += TerminalBytes(QStringLiteral("oltc-cli show: %1: %2\n")
                                     .arg(PrintedName(path, errTerminal), reason));
            status = 2;
            continue;
        }
        std::array<bool, 3> found{};
        const TransitionMarkers markers = MarkersFor(options.shown, record, &found);
        const std::array<bool, 3>* foundShown = options.shown.autoMarkers ? &found : nullptr;
        if (!options.json) {
            out += (shown++ ? "\n" : "") +
                   ShowText(PrintedName(path, outTerminal), record, markers, foundShown);
        } else {
            objects.push_back(
                ShowJson(path, record, markers, options.files.size() > 1 ? 1 : 0, foundShown));
        }
    }
    if (options.json) {
        if (options.files.size() > 1)
            out += JsonArray(objects, 0) + '\n';
        else if (!objects.empty())
            out += objects.front() + '\n';
    }
    return status;
}
