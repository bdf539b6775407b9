#include "ChartMath.h"
#include "ReportPainter.h"
#include "UQRMain.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString TextOf(const ReportPage& page, const char* name) {
    const PageText* t = page.Text(QString::fromLatin1(name));
    return t ? t->text : QStringLiteral("<none>");
}

// A displayed test: every phase steps from 100 to `largest` at 5 ms.
ShownTest Displayed(qint32 largest, bool inverted, quint8 switchType = 0, quint8 mode = 0) {
    TestRecord r;
    r.params.iSwitchType = switchType;
    r.params.iTestMode = mode;
    r.params.iSampleBurst = 25;
    r.params.iSamplePoint = 12;
    r.strTestTime.Set("2010-12-21 08:05:03");
    r.strTestUser.Set("Li");
    for (int p : {kPhaseA, kPhaseB, kPhaseC})
        for (int k = 1; k <= kSampleCount; ++k)
            r.WaveOf(p)[k - 1] = k < 50 ? 100 : largest;
    r.HasData = true;
    return ShownTestOf(r, StartMarkers(r.params), inverted, {1, 2, 3}, 1);
}

const char* const kScaleNames[3][5] = {{"QRA10", "QRA8", "QRA6", "QRA4", "QRA2"},
                                       {"QRB10", "QRB8", "QRB6", "QRB4", "QRB2"},
                                       {"QRC10", "QRC8", "QRC6", "QRC4", "QRC2"}};

} // namespace

TEST(ReportFill, ScaleLabelsAreFifthsOfTheLargestSampleTopDownOrReversed) {
    const struct {
        const char* what;
        ShownTest shown;
        std::array<const char*, 5> topDown; // QRx10 .. QRx2
    } cases[] = {
        {"nothing displayed",
         ShownTestOf(TestRecord{}, {}, false, {}, 0),
         {"2.0", "4.0", "6.0", "8.0", "10.0"}},
        {"1234, box unchecked", Displayed(1234, false), {"2.5", "4.9", "7.4", "9.9", "12.3"}},
        {"1234, box checked", Displayed(1234, true), {"12.3", "9.9", "7.4", "4.9", "2.5"}},
    };
    for (const auto& c : cases) {
        const ReportPage page = ReportFill(c.shown);
        for (int p = 0; p < 3; ++p)
            for (int row = 0; row < 5; ++row)
                EXPECT_EQ(TextOf(page, kScaleNames[p][row]), QLatin1String(c.topDown[row]))
                    << c.what << " " << kScaleNames[p][row];
        EXPECT_EQ(page.chart.reversed, !c.shown.inverted) << c.what;
    }
}

TEST(ReportFill, NothingDisplayedDrawsFlatLinesAndMarkersAtZero) {
    const ReportPage page = ReportFill(ShownTestOf(TestRecord{}, {}, false, {}, 0));
    for (int p = 0; p < 3; ++p) {
        const double lower = PhaseBand(kPhaseA + p, false).first;
        const auto& points = page.chart.series[p].points;
        ASSERT_EQ(points.size(), kSampleCount);
        EXPECT_DOUBLE_EQ(points.front().x(), 0.1);
        EXPECT_DOUBLE_EQ(points.back().x(), 268.8);
        for (const QPointF& pt : points)
            ASSERT_EQ(pt.y(), lower);
        for (int j = 1; j <= 4; ++j)
            EXPECT_EQ(page.chart.series[2 + MarkerNumber(kPhaseA + p, j)].points,
                      (QVector<QPointF>{{0, lower}, {0, PhaseBand(kPhaseA + p, false).second}}));
    }
    for (const char* name : {"qrlAT1", "qrlCR2", "qrlDt", "qrldr2", "qrlLoop", "qrlAngle"})
        EXPECT_EQ(TextOf(page, name), QString()) << name;
}

TEST(ReportFill, TextsAreTheWindowsWithTheirUnits) {
    ShownTest shown = Displayed(1234, false);
    for (size_t i = 0; i < shown.boxes.size(); ++i)
        shown.boxes[i] = QStringLiteral("b%1").arg(i);
    const std::pair<const char*, const char*> expected[] = {
        {"qrlSwitchType", "中性点引出"},
        {"qrlTestMode", "(A.B.C)->O"},
        {"qrlTestStep", "0 <- 1"},
        {"qrlSampleBurst", "2.5 Ω"},
        {"qrlSamplePoint", "12 点"},
        {"qrlSampleTime", "1.2 mS"},
        {"qrlUser", "Li"},
        {"qrlTime", "2010-12-21"},
        {"qrlTime1", "08:05:03"},
        {"qrlAT1", "b0"},
        {"qrlAR2", "b5"},
        {"qrlBT1", "b6"},
        {"qrlCR2", "b17"},
        {"qrlDt1", "b18"},
        {"qrldt2", "b19"},
        {"qrldt3", "b20"},
        {"qrlDt", "b21"},
        {"qrldr1", "b22"},
        {"qrldr2", "b23"},
        {"qrlLoop", "b24"},
        {"qrlAngle", "b25"},
        {"QRLCoop", "Aulexcorp"},
        {"QRSysData2", "1"},
    };
    const ReportPage page = ReportFill(shown);
    for (const auto& [name, text] : expected)
        EXPECT_EQ(TextOf(page, name), QString::fromUtf8(text)) << name;

    // A short time text is taken whole on both lines.
    shown.panel.memoTime = QStringLiteral("08:05");
    const ReportPage shortTime = ReportFill(shown);
    EXPECT_EQ(TextOf(shortTime, "qrlTime"), u"08:05");
    EXPECT_EQ(TextOf(shortTime, "qrlTime1"), u"08:05");
}

TEST(ReportFill, FooterNamesTheMakerOfTheBrand) {
    const std::pair<int, const char*> brands[] = {{0, ""}, {1, "Aulexcorp"}, {2, "Borvincorp"}};
    for (const auto& [brand, name] : brands) {
        ShownTest shown = Displayed(500, false);
        shown.brand = brand;
        const ReportPage page = ReportFill(shown);
        EXPECT_EQ(TextOf(page, "QRLCoop"), QLatin1String(name)) << brand;
        EXPECT_EQ(TextOf(page, "QRSysData2"), u"1") << brand;
    }
}

TEST(ReportFill, OnlyThePhasesOfTheModeAreDrawnWithTheirMovedMarkers) {
    const struct {
        quint8 mode;
        int empty; // the phase index whose series stay empty
    } cases[] = {{0, 1}, {1, 2}};
    for (const auto& c : cases) {
        ShownTest shown = Displayed(800, false, 1, c.mode);
        shown.boxes[6] = QStringLiteral("12.5"); // phase B's T1 box
        shown.markers.phase[0] = {37, 120, 250, 999};
        const ReportPage page = ReportFill(shown);
        for (int p = 0; p < 3; ++p) {
            const bool drawn = p != c.empty;
            EXPECT_EQ(page.chart.series[p].points.isEmpty(), !drawn) << int(c.mode) << p;
            for (int j = 1; j <= 4; ++j)
                EXPECT_EQ(page.chart.series[2 + MarkerNumber(kPhaseA + p, j)].points.isEmpty(),
                          !drawn);
        }
        EXPECT_EQ(TextOf(page, "qrlBT1"), u"12.5") << "boxes print whether drawn or not";
        const double times[4] = {3.7, 12.0, 25.0, 99.9};
        for (int j = 1; j <= 4; ++j)
            for (const QPointF& pt : page.chart.series[2 + MarkerNumber(kPhaseA, j)].points)
                EXPECT_DOUBLE_EQ(pt.x(), times[j - 1]);
        EXPECT_EQ(page.chart.background, QColor(1, 2, 3));
        EXPECT_EQ(page.rects.front().fill, QColor(1, 2, 3)) << "QRRuler";
    }
}

// The PDF read back by poppler, a reader that is not ours: texts stand at
// their millimetres from the paper's corner and the fonts are embedded.
TEST(ReportPdf, TextsStandWhereTheLayoutPutsThem) {
    ShownTest shown = Displayed(1234, false);
    shown.panel.user = QStringLiteral("Zhang");
    shown.boxes[0] = QStringLiteral("10.0");
    shown.brand = 2;
    QTemporaryDir dir;
    const QString pdf = dir.filePath("r.pdf");
    QString error;
    ASSERT_TRUE(WriteReportPdf(pdf, ReportFill(shown), &error)) << error.toStdString();

    QProcess bbox;
    bbox.start("pdftotext", {"-bbox", pdf, "-"});
    ASSERT_TRUE(bbox.waitForFinished(20000));
    const QString html = QString::fromUtf8(bbox.readAllStandardOutput());
    const auto at = [&html](const QString& word) -> std::optional<QPointF> {
        const QRegularExpression re(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>%1<")
                                        .arg(QRegularExpression::escape(word)));
        const auto m = re.match(html);
        if (!m.hasMatch())
            return std::nullopt;
        const double mm = 25.4 / 72;
        return QPointF(m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm);
    };
    const struct {
        const char* word;
        double x, y; // text box top-left, mm from the paper's corner
    } expected[] = {
        {"Zhang", 10 + 16.9, 19.3 + 65.6}, {"10.0", 10 + 173.6, 19.3 + 16.9},
        {"4.9", 10 + 38.1, 19.3 + 22.0},   {"Borvincorp", -1, 297 - 29.1 + 4.2},
        {"12.3", 10 + 38.1, 19.3 + 41.0},  {"2010-12-21", 10 + 16.9, 19.3 + 74.1},
    };
    for (const auto& e : expected) {
        const auto p = at(QString::fromUtf8(e.word));
        ASSERT_TRUE(p) << e.word;
        if (e.x >= 0) {
            EXPECT_NEAR(p->x(), e.x, 0.4) << e.word;
        }
        // The glyph box starts a little below the line's top.
        EXPECT_NEAR(p->y(), e.y + 0.5, 0.6) << e.word;
    }
    // Centred across the band: the maker's name straddles 105 mm.
    const auto coop = at(QStringLiteral("Borvincorp"));
    ASSERT_TRUE(coop);
    EXPECT_LT(coop->x(), 105);
    EXPECT_GT(coop->x(), 90);

    QProcess fonts;
    fonts.start("pdffonts", {pdf});
    ASSERT_TRUE(fonts.waitForFinished(20000));
    const QStringList lines = QString::fromUtf8(fonts.readAllStandardOutput()).split('\n');
    ASSERT_GT(lines.size(), 3);
    for (const QString& line : lines.mid(2))
        if (!line.trimmed().isEmpty()) {
            EXPECT_TRUE(line.contains(QStringLiteral(" yes "))) << line.toStdString();
        }
}

TEST(ReportPdf, AFailedWriteLeavesTheEarlierFileAndSaysWhy) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("r.pdf");
    {
        QFile old(pdf);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier");
    }
    const ReportPage page = ReportFill(Displayed(500, false));
    const struct { QString path; } bad[] = {{dir.path()}, {dir.filePath("missing/r.pdf")}};
    for (const auto& b : bad) {
        QString error;
        EXPECT_FALSE(WriteReportPdf(b.path, page, &error)) << b.path.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "earlier");
    ASSERT_TRUE(WriteReportPdf(pdf, page));
    QFile fresh(pdf);
    ASSERT_TRUE(fresh.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fresh.readAll().startsWith("%PDF"));
}
