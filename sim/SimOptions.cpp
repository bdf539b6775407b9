#include "SimOptions.h"

#include <functional>
#include <map>

namespace {
bool ToNumber(const QString& text, qlonglong min, qlonglong max, qlonglong& value) {
    bool ok = false;
    const QString t = text.trimmed();
    value = t.startsWith(u"0x", Qt::CaseInsensitive) ? t.mid(2).toLongLong(&ok, 16)
                                                     : t.toLongLong(&ok, 10);
    return ok && value >= min && value <= max;
}
} // namespace

bool ParseSimOptions(const QStringList& args, SimOptions& options, QString* error) {
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    using Setter = std::function<bool(const QString&)>;
    auto number = [&](qlonglong min, qlonglong max, auto assign) -> Setter {
        return [=](const QString& value) {
            qlonglong n = 0;
            if (!ToNumber(value, min, max, n))
                return false;
            assign(n);
            return true;
        };
    };
    SimConfig& config = options.config;
    const std::map<QString, Setter> valued = {
        {"--port", number(1, 255, [&](qlonglong n) { options.port = int(n); })},
        {"--baud-index", number(0, 255, [&](qlonglong n) { config.baudIndex = int(n); })},
        {"--brand", number(0, 255, [&](qlonglong n) { config.brand = quint8(n); })},
        {"--stored", number(0, 255, [&](qlonglong n) { config.storedTests = int(n); })},
        {"--seed", number(0, 0xFFFFFFFFLL, [&](qlonglong n) { config.seed = quint32(n); })},
        {"--polls", number(0, 100000, [&](qlonglong n) { config.pollsBeforeReady = int(n); })},
        {"--rotation", number(0, 65535, [&](qlonglong n) { config.rotation = quint16(n); })},
        {"--devices", number(0, 16, [&](qlonglong n) { config.usbDevices = int(n); })},
        {"--folder",
         [&](const QString& v) {
             options.folder = v;
             return !v.isEmpty();
         }},
        {"--product",
         [&](const QString& v) {
             config.productString = v.toUtf8().left(256);
             return !v.isEmpty();
         }},
        {"--campaign-fault",
         [&](const QString& v) {
             const auto fault = ParseCampaignFault(v);
             if (!fault)
                 return false;
             config.campaign = true;
             config.storedTests = kSimCampaignTests;
             config.campaignFaults.append(*fault);
             return true;
         }},
        {"--fault",
         [&](const QString& v) {
             QString why;
             const auto fault = ParseFault(v, &why);
             if (!fault) {
                 if (error)
                     *error = why;
                 return false;
             }
             config.faults.append(*fault);
             return true;
         }},
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString name = args[i];
        QString value;
        bool inlineValue = false;
        if (const qsizetype eq = name.indexOf(u'='); name.startsWith(u"--") && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            inlineValue = true;
        }
        if (name == u"--verbose" || name == u"-v") {
            options.verbose = true;
            continue;
        }
        if (name == u"--rough") {
            config.rough = true;
            continue;
        }
        if (name == u"--campaign") {
            config.campaign = true;
            config.storedTests = kSimCampaignTests;
            continue;
        }
        if (name == u"--help" || name == u"-h") {
            options.help = true;
            continue;
        }
        const auto found = valued.find(name);
        if (found == valued.end())
            return fail(QStringLiteral("unknown option '%1'").arg(args[i]));
        if (!inlineValue) {
            if (i + 1 >= args.size())
                return fail(QStringLiteral("option %1 needs a value").arg(name));
            value = args[++i];
        }
        if (error)
            error->clear();
        if (!found->second(value)) {
            if (error && !error->isEmpty())
                return false;
            return fail(QStringLiteral("bad value '%1' for %2").arg(value, name));
        }
    }
    return true;
}

QStringList SplitOptionText(const QString& text) {
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                word += c;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

bool ParseSimOptionText(const QString& text, SimOptions& options, QString* error) {
    return ParseSimOptions(SplitOptionText(text), options, error);
}

QString SimUsage() {
    return QStringLiteral(
        "usage: oltc-sim --port N --folder DIR [options]\n"
        "  --port N           serve COM<N> as DIR/ports/COM<N> (1..255, default 1)\n"
        "  --folder DIR       the program folder that gets the ports/ link\n"
        "  --baud-index I     line speed by the program's speed table (default 7: 19200)\n"
        "  --brand B          brand byte of the identification (default 1)\n"
        "  --stored K         tests kept in the tester (0..255, default 3)\n"
        "  --seed S           seed of every generated value (default 1)\n"
        "  --polls N          the capture is ready on trigger poll N (default 3)\n"
        "  --rotation DEG     rotation the live capture reports (default from the seed)\n"
        "  --rough            captures as real ones come: noise, 1 ms ramps, contact\n"
        "                     bounce, ripple, drift\n"
        "  --campaign         the stored tests are 20 taps of one tap changer: tests\n"
        "                     1..10 up (0 -> 1 .. 9 -> 10), 11..20 down\n"
        "  --campaign-fault KIND:K[:P]  a fault in stored test K, phase P (A, B, C);\n"
        "                     KIND: interruption slow worn; repeatable\n"
        "  --product TEXT     USB device string (USB double only)\n"
        "  --devices N        USB devices reported (USB double only, default 1)\n"
        "  --fault CMD:KIND[:ARG[:TIMES]]  misbehave for one command; repeatable.\n"
        "                     KIND: noanswer nak wrongecho short garbage delay cut\n"
        "  --verbose          log every request to stderr\n");
}
