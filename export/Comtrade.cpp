#include "Comtrade.h"

#include "FileNames.h"
#include "FileSet.h"
#include "Helpers.h"
#include "Identity.h"
#include "ParamLists.h"
#include "SheetCells.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <array>

namespace {

constexpr char kPhaseLetters[] = "ABC";
constexpr int kRateHz = 10000;
constexpr int kSampleMicroseconds = 1000000 / kRateHz;
// Signed 16 bits without -32768, which marks a missing sample.
constexpr qint64 kBinaryLow = -32767, kBinaryHigh = 32767;
constexpr qint64 kAsciiLow = -99999, kAsciiHigh = 99998;

// A text field of the configuration: no comma (the field separator), no
// line break or other control character.
QByteArray Field(const QString& text) {
    QString field;
    for (const QChar c : text)
        if (c != u',' && c.unicode() >= 0x20 && c.unicode() != 0x7F)
            field += c;
    return field.trimmed().toUtf8();
}

struct Channel {
    qint64 low = 0, high = 0; // stored values
    qint64 offset = 0;        // stored = sample - offset
};

// The offset that fits every sample of a phase in [low, high]: 32767 for
// binary where it can (0..655.34 ohm), moved as far as the samples need.
std::optional<Channel> ChannelOf(const TestRecord& record, int phase, ComtradeFormat format) {
    qint64 lo = record.SampleAt(phase, 1), hi = lo;
    for (int k = 2; k <= kSampleCount; ++k) {
        lo = std::min<qint64>(lo, record.SampleAt(phase, k));
        hi = std::max<qint64>(hi, record.SampleAt(phase, k));
    }
    Channel c;
    if (format == ComtradeFormat::Binary) {
        const qint64 least = hi - kBinaryHigh, most = lo - kBinaryLow;
        if (least > most)
            return std::nullopt;
        c.offset = std::clamp<qint64>(kBinaryHigh, least, most);
    } else if (lo < kAsciiLow || hi > kAsciiHigh) {
        return std::nullopt;
    }
    c.low = lo - c.offset;
    c.high = hi - c.offset;
    return c;
}

QByteArray Line(const QByteArray& text) {
    return text + "\r\n";
}

QByteArray Config(const ShownTest& shown, const std::array<Channel, 3>& channels,
                  const QDateTime& start, ComtradeFormat format) {
    QByteArray cfg;
    cfg +=
        Line(Field(shown.record.strTestAdd.Text()) + ',' + Field(BrandText(shown.brand)) + ",2013");
    cfg += Line("3,3A,0D");
    for (int p = 0; p < 3; ++p) {
        const Channel& c = channels[p];
        const QByteArray letter(1, kPhaseLetters[p]);
        cfg += Line(QByteArray::number(p + 1) + ',' + letter + ',' + letter + ",,Ohm,0.01," +
                    FixedText(c.offset, 2).toLatin1() + ",0," + QByteArray::number(c.low) + ',' +
                    QByteArray::number(c.high) + ",1,1,P");
    }
    cfg += Line("50");
    cfg += Line("1");
    cfg += Line(QByteArray::number(kRateHz) + ',' + QByteArray::number(kSampleCount));
    const QByteArray time = start.toString(QStringLiteral("dd/MM/yyyy,HH:mm:ss.zzz000")).toLatin1();
    cfg += Line(time); // the first sample
    cfg += Line(time); // the trigger
    cfg += Line(format == ComtradeFormat::Binary ? "BINARY" : "ASCII");
    cfg += Line("1.0");
    return cfg;
}

QByteArray Data(const TestRecord& record, const std::array<Channel, 3>& channels,
                ComtradeFormat format) {
    QByteArray dat;
    if (format == ComtradeFormat::Binary) {
        dat.resize(qsizetype(kSampleCount) * (4 + 4 + 3 * 2));
        char* at = dat.data();
        for (int k = 1; k <= kSampleCount; ++k) {
            qToLittleEndian<quint32>(quint32(k), at);
            qToLittleEndian<quint32>(quint32((k - 1) * kSampleMicroseconds), at + 4);
            at += 8;
            for (int p = 0; p < 3; ++p, at += 2)
                qToLittleEndian<qint16>(qint16(record.SampleAt(p + 1, k) - channels[p].offset), at);
        }
        return dat;
    }
    dat.reserve(qsizetype(kSampleCount) * 32);
    for (int k = 1; k <= kSampleCount; ++k) {
        dat += QByteArray::number(k) + ',' + QByteArray::number((k - 1) * kSampleMicroseconds);
        for (int p = 0; p < 3; ++p)
            dat += ',' + QByteArray::number(record.SampleAt(p + 1, k) - channels[p].offset);
        dat += "\r\n";
    }
    return dat;
}

QByteArray Header(const ShownTest& shown) {
    const PanelTexts& t = shown.panel;
    const TestParams& tp = shown.record.params;
    const auto& b = shown.boxes;
    QString s;
    const auto line = [&s](const QString& text) { s += text + QStringLiteral("\r\n"); };
    line(QCoreApplication::translate("Comtrade", "有载分接开关测试仪报告"));
    line(QCoreApplication::translate("Comtrade", "开关类型：") + t.switchType);
    line(QCoreApplication::translate("Comtrade", "测试方式：") + t.testMode);
    line(QCoreApplication::translate("Comtrade", "测试档位：") + t.testStep);
    line(QCoreApplication::translate("Comtrade", "滤波深度：") +
         ItemText(SampleLengthItems(), tp.iSampleLength));
    line(QCoreApplication::translate("Comtrade", "充电时间：") +
         ItemText(ChargeTimeItems(), tp.iChargeTime));
    line(QCoreApplication::translate("Comtrade", "波形：") +
         ItemText(SeriesTypeItems(), tp.iSeriesType));
    line(QCoreApplication::translate("Comtrade", "采样触发：%1 Ω").arg(t.sampleBurst));
    line(QCoreApplication::translate("Comtrade", "预采样：%1 点  %2 mS")
             .arg(t.samplePoint, t.sampleTime));
    line(QCoreApplication::translate("Comtrade", "测试人员：") + t.user);
    line(QCoreApplication::translate("Comtrade", "测试地点：") + t.addr);
    line(QCoreApplication::translate("Comtrade", "测试时间：") + t.memoTime);
    line(RotationText(shown));
    line(QString());
    line(QCoreApplication::translate("Comtrade", "光标（采样点，0.1 mS）  t1  t2  t3  t4"));
    for (int p = 0; p < 3; ++p) {
        QString row =
            QCoreApplication::translate("Comtrade", "相序%1").arg(QChar(kPhaseLetters[p]));
        for (const int m : shown.markers.phase[p])
            row += QStringLiteral("  %1").arg(m);
        line(row);
    }
    line(QString());
    static const char* const kNames[6] = {"T1", "T2", "T3", "T ", "R1", "R2"};
    for (int p = 0; p < 3; ++p) {
        QString row =
            QCoreApplication::translate("Comtrade", "相序%1").arg(QChar(kPhaseLetters[p]));
        for (int i = 0; i < 6; ++i)
            row += QStringLiteral("  %1: %2 %3")
                       .arg(QLatin1String(kNames[i]), b[6 * p + i],
                            i < 4 ? QStringLiteral("mS") : QStringLiteral("Ω"));
        line(row);
    }
    line(QStringLiteral("△T : %1 mS  △T1: %2 mS  △T2: %3 mS  △T3: %4 mS  △R1: %5 Ω  △R2: %6 Ω")
             .arg(b[kBoxDT], b[kBoxDT1], b[kBoxDT2], b[kBoxDT3], b[kBoxDR1], b[kBoxDR2]));
    return s.toUtf8();
}

} // namespace

std::optional<ComtradeFiles> ComtradeOf(const ShownTest& shown, ComtradeFormat format,
                                        QString* why) {
    const auto fail = [why](const QString& reason) {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    const QString timeText = shown.record.strTestTime.Text();
    const QDateTime start = QDateTime::fromString(timeText, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!start.isValid())
        return fail(QStringLiteral("the test's time \"%1\" is not a date as yyyy-mm-dd hh:mm:ss")
                        .arg(VisibleText(timeText)));
    std::array<Channel, 3> channels;
    for (int p = 0; p < 3; ++p) {
        const auto channel = ChannelOf(shown.record, p + 1, format);
        if (!channel)
            return fail(format == ComtradeFormat::Binary
                            ? QStringLiteral("phase %1 spans more values than 16-bit binary "
                                             "holds; ASCII holds them")
                                  .arg(QChar(kPhaseLetters[p]))
                            : QStringLiteral("phase %1 has a sample beyond -999.99..999.98 ohm")
                                  .arg(QChar(kPhaseLetters[p])));
        channels[p] = *channel;
    }
    return ComtradeFiles{Config(shown, channels, start, format),
                         Data(shown.record, channels, format), Header(shown)};
}

QStringList ComtradePaths(const QString& cfgPath) {
    const QFileInfo info(cfgPath);
    const QString suffix = info.suffix();
    const QString base = cfgPath.left(cfgPath.size() - suffix.size());
    const bool upper = !suffix.isEmpty() && suffix == suffix.toUpper();
    return {cfgPath, base + QLatin1String(upper ? "DAT" : "dat"),
            base + QLatin1String(upper ? "HDR" : "hdr")};
}

ExportResult WriteComtrade(const ShownTest& shown, const QString& cfgPath, ComtradeFormat format) {
    QString why;
    const auto files = ComtradeOf(shown, format, &why);
    if (!files)
        return WriteFailure(cfgPath, why);
    if (!WriteWholeSet(ComtradePaths(cfgPath), {files->cfg, files->dat, files->hdr}, &why))
        return ExportResult::Failed(ExportResult::CannotWrite, why);
    return {};
}
