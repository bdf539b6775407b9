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
#include "TestToJudge.h"

#include <QCoreApplication>

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

QString VerdictWords(Verdict v) {
    return v == Verdict::Pass   ? QCoreApplication::translate("ShowCommand", "合格")
           : v == Verdict::Fail ? QCoreApplication::translate("ShowCommand", "不合格")
                                : QCoreApplication::translate("ShowCommand", "无法判断");
}

QByteArray JudgedText(const JudgedTest& judged) {
    QString text =
        QCoreApplication::translate("ShowCommand", "结论：%1\n").arg(VerdictWords(judged.verdict));
    for (const Finding& f : judged.findings)
        text += QStringLiteral("  %1\n").arg(f.text);
    return TerminalBytes(text);
}

JsonMembers JudgedMembers(const JudgedTest& judged, int depth) {
    std::vector<QByteArray> findings;
    for (const Finding& f : judged.findings)
        findings.push_back(
            JsonObject({{"rule", JsonString(f.rule)},
                        {"phase", f.phase < 0 ? QByteArray("null")
                                              : JsonString(QString(QChar(u'A' + f.phase)))},
                        {"quantity", f.value.isEmpty() ? QByteArray("null") : JsonString(f.value)},
                        {"value", QByteArray::number(f.measured, 'f', 2)},
                        {"reference", QByteArray::number(f.reference, 'f', 2)},
                        {"limit", QByteArray::number(f.limit, 'f', 2)},
                        {"text", JsonString(f.text)}},
                       depth + 2));
    return {{"verdict", JsonString(VerdictName(judged.verdict))},
            {"findings", JsonArray(findings, depth + 1)}};
}

} // namespace

QByteArray ShowUsage() {
    return "usage: oltc-cli show [--json] [--auto-markers] [--marker P=t1,t2,t3,t4]...\n"
           "         [--judge [--profile FILE] [--baseline FILE.cty]] FILE...\n"
           "  Shows the parameters, header and results of .cty test files.\n"
           "  --json      one JSON object per file (an array for several files)\n"
           "  --judge     the verdict of each test by the rules that need no campaign\n"
           "              (an interrupted current, a phase without a transition, the\n"
           "              maker's figures of --profile FILE, a --baseline FILE.cty of\n"
           "              the same tap); markers found unless --marker sets them\n" +
           ShownOptionsUsage(kMarkerOption | kAutoMarkersOption | kForceOption);
}

std::optional<QString> ParseShowArgs(const QStringList& args, ShowOptions& options) {
    const auto own = [&options](const QStringList& a, qsizetype& i, QString& error) {
        if (a[i] == u"--json" || a[i] == u"--judge") {
            (a[i] == u"--json" ? options.json : options.judge) = true;
            return OptionParse::Taken;
        }
        if (a[i] == u"--profile")
            return TakeValue(a, i, options.profile, error);
        if (a[i] == u"--baseline")
            return TakeValue(a, i, options.baseline, error);
        return OptionParse::NotMine;
    };
    if (auto error = ParseFileCommandArgs(args, kMarkerOption | kAutoMarkersOption | kForceOption,
                                          options.shown, options.files, own))
        return error;
    if (options.files.isEmpty())
        return QStringLiteral("no test file given");
    if (!options.judge && (!options.profile.isEmpty() || !options.baseline.isEmpty()))
        return QStringLiteral("--profile and --baseline go with --judge");
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
    line(QCoreApplication::translate("ShowCommand", "开关类型："),
         Shown(SwitchTypeItems(), tp.iSwitchType));
    line(QCoreApplication::translate("ShowCommand", "测试方式："),
         Shown(TestModeItems(tp.iSwitchType == 0 ? 0 : 1), ShownTestMode(tp)));
    line(QCoreApplication::translate("ShowCommand", "测试档位："),
         Shown(TestStepItems(), tp.iTestStep));
    line(QCoreApplication::translate("ShowCommand", "滤波深度："),
         Shown(SampleLengthItems(), tp.iSampleLength));
    line(QCoreApplication::translate("ShowCommand", "充电时间："), ChargeText(tp.iChargeTime));
    line(QCoreApplication::translate("ShowCommand", "波形："),
         Shown(SeriesTypeItems(), tp.iSeriesType));
    line(QCoreApplication::translate("ShowCommand", "采样触发："),
         FixedText(tp.iSampleBurst, 1) + QStringLiteral(" Ω"));
    line(QCoreApplication::translate("ShowCommand", "预采样："),
         QCoreApplication::translate("ShowCommand", "%1 点  %2 mS")
             .arg(tp.iSamplePoint)
             .arg(FixedText(tp.iSamplePoint, 1)));
    line(QCoreApplication::translate("ShowCommand", "测试人员："),
         VisibleText(record.strTestUser.Text()));
    line(QCoreApplication::translate("ShowCommand", "测试地点："),
         VisibleText(record.strTestAdd.Text()));
    line(QCoreApplication::translate("ShowCommand", "测试时间："),
         VisibleText(record.strTestTime.Text()));
    line(QCoreApplication::translate("ShowCommand", "转角："),
         QCoreApplication::translate("ShowCommand", "%1 圈 %2 度")
             .arg(boxes[24].text, boxes[25].text));
    s += QCoreApplication::translate("ShowCommand", "光标        t1    t2    t3    t4\n");
    for (int p = 0; p < 3; ++p) {
        s += QCoreApplication::translate("ShowCommand", "相 序 %1").arg(QChar(kPhaseLetters[p]));
        for (int t : markers.phase[p])
            s += QStringLiteral("%1").arg(t, 6);
        s += u'\n';
    }
    if (found)
        line(QCoreApplication::translate("ShowCommand", "自动定位："),
             FoundPhasesText(DrawnPhases(tp.iSwitchType, tp.iTestMode), *found));
    s += QCoreApplication::translate("ShowCommand",
                                     "结果     T1/mS   T2/mS   T3/mS    T/mS    R1/Ω    R2/Ω\n");
    for (int p = 0; p < 3; ++p) {
        s += QCoreApplication::translate("ShowCommand", "相 序 %1").arg(QChar(kPhaseLetters[p]));
        for (int i = 0; i < 6; ++i)
            s += QStringLiteral("%1").arg(boxes[6 * p + i].text, 8);
        s += u'\n';
    }
    s +=
        QCoreApplication::translate(
            "ShowCommand", "△T0：%1 mS  △T1：%2 mS  △T2：%3 mS  △T3：%4 mS  △R1：%5 Ω  △R2：%6 Ω\n")
            .arg(boxes[21].text, boxes[18].text, boxes[19].text, boxes[20].text, boxes[22].text,
                 boxes[23].text);
    return TerminalBytes(s);
}

QByteArray ShowJson(const QString& path, const TestRecord& record, const TransitionMarkers& markers,
                    int depth, const std::array<bool, 3>* found,
                    const std::array<double, 3>* quality, const JsonMembers& extra) {
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
        JsonMembers qualityMembers;
        for (int p = 0; p < 3; ++p)
            qualityMembers.push_back(
                {QByteArray(1, kPhaseLetters[p]), (*found)[p] && quality
                                                      ? QByteArray::number((*quality)[p], 'f', 2)
                                                      : QByteArray("null")});
        file.insert(file.begin() + 9, {"quality", JsonObject(qualityMembers, depth + 1)});
    }
    file.insert(file.end(), extra.begin(), extra.end());
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
    JudgeProfile profile;
    std::optional<JudgedTest> baseline;
    if (options.judge) {
        QString why;
        if (!options.profile.isEmpty()) {
            const auto read = ReadJudgeProfile(options.profile, &why);
            if (!read) {
                err += TerminalBytes(QStringLiteral("oltc-cli show: %1: %2\n")
                                         .arg(PrintedName(options.profile, errTerminal), why));
                return kExitUsage;
            }
            profile = *read;
        }
        if (!options.baseline.isEmpty()) {
            auto base = std::make_shared<TestRecord>();
            if (const QString reason = ReadTestFor(options.baseline, *base); !reason.isEmpty()) {
                err += TerminalBytes(QStringLiteral("oltc-cli show: %1: %2\n")
                                         .arg(PrintedName(options.baseline, errTerminal), reason));
                return kExitUsage;
            }
            baseline = JudgeTest(PrepareTest(base, {}, options.baseline), profile);
        }
    }
    for (const QString& path : options.files) {
        if (const QString reason = ReadTestFor(path, record, options.shown.force);
            !reason.isEmpty()) {
            err += TerminalBytes(QStringLiteral("oltc-cli show: %1: %2\n")
                                     .arg(PrintedName(path, errTerminal), reason));
            status = 2;
            continue;
        }
        std::array<bool, 3> found{};
        std::array<double, 3> quality{};
        const TransitionMarkers markers = MarkersFor(options.shown, record, &found, &quality);
        const std::array<bool, 3>* foundShown = options.shown.autoMarkers ? &found : nullptr;
        std::optional<JudgedTest> judged;
        if (options.judge) {
            // Judged by the markers found, unless --marker sets a phase's.
            TestToJudge test = PrepareTest(std::make_shared<TestRecord>(record), {}, path);
            for (int p = 0; p < 3; ++p)
                if (options.shown.markers[p]) {
                    test.markers.phase[p] = *options.shown.markers[p];
                    test.found[p] = true;
                }
            judged = JudgeTest(test, profile);
            if (baseline && baseline->step == judged->step)
                JudgeAgainstBaseline(*judged, *baseline, profile);
        }
        if (!options.json) {
            out += (shown++ ? "\n" : "") +
                   ShowText(PrintedName(path, outTerminal), record, markers, foundShown);
            if (judged)
                out += JudgedText(*judged);
        } else {
            const int depth = options.files.size() > 1 ? 1 : 0;
            objects.push_back(ShowJson(path, record, markers, depth, foundShown, &quality,
                                       judged ? JudgedMembers(*judged, depth) : JsonMembers{}));
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
