#include "UQRMain.h"

#include "ChartMath.h"
#include "ChartStyle.h"

#include <QCoreApplication>

namespace {

constexpr double kMargin = kReportMarginMm;
constexpr double kBandWidth = 190;
constexpr double kTitleBand = 9.3;
constexpr double kFooterBand = 19.1;
constexpr double kBodyLeft = kMargin;
constexpr double kBodyTop = kMargin + kTitleBand;
constexpr double kFooterTop = 297 - kMargin - kFooterBand;

const QString kSong = QStringLiteral("宋体");
const QString kArial = QStringLiteral("Arial");

// An Arial 8 point label of the body, black on white, at body millimetres.
PageText Label(const char* name, const QString& text, double x, double y) {
    PageText t;
    t.name = QString::fromLatin1(name);
    t.text = text;
    t.family = kArial;
    t.at = {kBodyLeft + x, kBodyTop + y};
    return t;
}

// A 宋体 text centred across a band of the page.
PageText Centred(const char* name, const QString& text, double points, double top) {
    PageText t;
    t.name = QString::fromLatin1(name);
    t.text = text;
    t.family = kSong;
    t.points = points;
    t.at = {kMargin, top};
    t.align = Qt::AlignHCenter;
    t.centreWidth = kBandWidth;
    return t;
}

PageText Caption(const char* text, double x, double y) {
    return Label("", QCoreApplication::translate("UQRMain", text), x, y);
}

// The chart's series as the main chart draws them, against the fixed 0..36 scale.
void FillChart(ReportChartData& chart, const ShownTest& shown) {
    for (int i = 0; i < 15; ++i) {
        ReportSeries& s = chart.series[i];
        s.name = SeriesName(i);
        s.color = i < 3 ? PhaseColor(kPhaseA + i) : MarkerColor();
        s.style = i < 3 ? Qt::SolidLine : Qt::DotLine;
    }
    chart.reversed = !shown.inverted;
    chart.background = QColor(shown.color.r, shown.color.g, shown.color.b);
    const TestRecord& record = shown.record;
    const auto drawn = DrawnPhases(record.params.iSwitchType, record.params.iTestMode);
    for (int p = 0; p < 3; ++p) {
        if (!drawn[p])
            continue;
        const int phase = kPhaseA + p;
        const auto [lower, upper] = PhaseBand(phase, shown.inverted, 0, 36);
        const std::vector<double> levels = BandLevels(record, phase, lower, upper);
        QVector<QPointF>& points = chart.series[p].points;
        points.resize(kSampleCount);
        for (int i = 1; i <= kSampleCount; ++i)
            points[i - 1] = {i / 10.0, levels[size_t(i - 1)]};
        for (int j = 1; j <= 4; ++j) {
            const double x = shown.markers.phase[p][j - 1] / 10.0;
            chart.series[2 + MarkerNumber(phase, j)].points = {{x, lower}, {x, upper}};
        }
    }
}

void AddScales(std::vector<PageText>& texts, const ShownTest& shown) {
    const qint32 m = MaxSample(shown.record);
    const double letterY[3] = {10.1, 47.9, 86.8};
    const double rowY[3][5] = {{15.6, 22.0, 28.3, 34.7, 41.0},
                               {55.0, 61.4, 67.7, 74.1, 80.4},
                               {93.1, 99.5, 105.8, 112.2, 118.5}};
    static const char* const names[3][5] = {{"QRA10", "QRA8", "QRA6", "QRA4", "QRA2"},
                                            {"QRB10", "QRB8", "QRB6", "QRB4", "QRB2"},
                                            {"QRC10", "QRC8", "QRC6", "QRC4", "QRC2"}};
    for (int p = 0; p < 3; ++p) {
        PageText letter = Label("", QString(QChar(u'A' + p)), 40.2, letterY[p]);
        letter.color = PhaseColor(kPhaseA + p);
        letter.opaque = false;
        texts.push_back(letter);
        for (int row = 0; row < 5; ++row) {
            const int k = shown.inverted ? 5 - row : row + 1;
            PageText value = Label(names[p][row], QString::asprintf("%.1f", k * double(m) / 500),
                                   38.1, rowY[p][row]);
            value.color = letter.color;
            value.opaque = false;
            texts.push_back(value);
        }
    }
}

struct ResultRow {
    const char* caption;
    double cx, y;
    const char* name;
    double vx;
    int box;
};

// Captions end in units after blanks that the value labels cover.
const ResultRow kResultRows[] = {
    {QT_TRANSLATE_NOOP("UQRMain", "T1：                  mS"), 167.2, 16.9, "qrlAT1", 173.6, 0},
    {QT_TRANSLATE_NOOP("UQRMain", "T2：                  mS "), 167.2, 21.2, "qrlAT2", 173.6, 1},
    {QT_TRANSLATE_NOOP("UQRMain", "T3：                  mS"), 167.2, 25.4, "qrlAT3", 173.6, 2},
    {QT_TRANSLATE_NOOP("UQRMain", "T  ：                  mS"), 167.2, 29.6, "qrlAT", 173.6, 3},
    {QT_TRANSLATE_NOOP("UQRMain", "R1：                  Ω"), 167.2, 33.9, "qrlAR1", 173.6, 4},
    {QT_TRANSLATE_NOOP("UQRMain", "R2：                   Ω"), 167.2, 38.1, "qrlAR2", 173.6, 5},
    {QT_TRANSLATE_NOOP("UQRMain", "T1：                   mS"), 167.2, 57.1, "qrlBT1", 173.6, 6},
    {QT_TRANSLATE_NOOP("UQRMain", "T2：                   mS"), 167.2, 61.4, "qrlBT2", 173.6, 7},
    {QT_TRANSLATE_NOOP("UQRMain", "T3：                   mS"), 167.2, 65.6, "qrlBT3", 173.6, 8},
    {QT_TRANSLATE_NOOP("UQRMain", "T  ：                   mS"), 167.2, 69.8, "qrlBT", 173.6, 9},
    {QT_TRANSLATE_NOOP("UQRMain", "R1：                   Ω"), 167.2, 74.1, "qrlBR1", 173.6, 10},
    {QT_TRANSLATE_NOOP("UQRMain", "R2：                   Ω"), 167.2, 78.3, "qrlBR2", 173.6, 11},
    {QT_TRANSLATE_NOOP("UQRMain", "T1：                   mS"), 167.2, 97.4, "qrlCT1", 173.6, 12},
    {QT_TRANSLATE_NOOP("UQRMain", "T2：                   mS"), 167.2, 101.6, "qrlCT2", 173.6, 13},
    {QT_TRANSLATE_NOOP("UQRMain", "T3：                   mS"), 167.2, 105.8, "qrlCT3", 173.6, 14},
    {QT_TRANSLATE_NOOP("UQRMain", "T  ：                   mS"), 167.2, 110.1, "qrlCT", 173.6, 15},
    {QT_TRANSLATE_NOOP("UQRMain", "R1：                    Ω"), 167.2, 114.3, "qrlCR1", 173.6, 16},
    {QT_TRANSLATE_NOOP("UQRMain", "R2：                    Ω"), 167.2, 118.5, "qrlCR2", 173.6, 17},
    {QT_TRANSLATE_NOOP("UQRMain", "△T0：                   mS"), 124.9, 139.7, "qrlDt", 133.3,
     kBoxDT},
    {QT_TRANSLATE_NOOP("UQRMain", "△T2：                   mS"), 124.9, 143.9, "qrldt2", 133.3,
     kBoxDT2},
    {QT_TRANSLATE_NOOP("UQRMain", "△R1：                   Ω"), 124.9, 148.2, "qrldr1", 133.3,
     kBoxDR1},
    {QT_TRANSLATE_NOOP("UQRMain", "△T1：                    mS"), 165.1, 139.7, "qrlDt1", 173.6,
     kBoxDT1},
    {QT_TRANSLATE_NOOP("UQRMain", "△T3：                    mS"), 165.1, 143.9, "qrldt3", 173.6,
     kBoxDT3},
    {QT_TRANSLATE_NOOP("UQRMain", "△R2：                     Ω"), 165.1, 148.2, "qrldr2", 173.6,
     kBoxDR2},
};

} // namespace

const PageText* ReportPage::Text(const QString& name) const {
    for (const PageText& t : texts)
        if (t.name == name)
            return &t;
    return nullptr;
}

ReportPage ReportFill(const ShownTest& shown) {
    ReportPage page;
    page.title = ReportTitle();
    page.chart.mm = {kBodyLeft + 36.0, kBodyTop + 8.5, 129.4, 125.1};
    FillChart(page.chart, shown);
    page.rects.push_back({QStringLiteral("QRRuler"),
                          {kBodyLeft + 49.2, kBodyTop + 6.3, 4.0, 125.1},
                          page.chart.background});
    page.rects.push_back(
        {QStringLiteral("QRShape1"), {kBodyLeft + 36.0, kBodyTop + 0.0, 159.0, 8.7}, Qt::white});

    std::vector<PageText>& texts = page.texts;
    PageText title =
        Centred("TitleLabel", QCoreApplication::translate("UQRMain", "有载分接开关测试仪"), 14,
                kMargin + 2.1);
    title.bold = true;
    texts.push_back(title);

    const PanelTexts& panel = shown.panel;
    texts.push_back(Caption(QT_TRANSLATE_NOOP("UQRMain", "测试参数"), 10.6, 12.7));
    const struct {
        const char* caption;
        double y;
        const char* name;
        QString value;
        double vy;
    } params[] = {
        {QT_TRANSLATE_NOOP("UQRMain", "开关类型："), 19.1, "qrlSwitchType", panel.switchType, 19.1},
        {QT_TRANSLATE_NOOP("UQRMain", "测试方式："), 23.3, "qrlTestMode", panel.testMode, 23.3},
        {QT_TRANSLATE_NOOP("UQRMain", "测试档位："), 27.5, "qrlTestStep", panel.testStep, 27.5},
        {QT_TRANSLATE_NOOP("UQRMain", "采样触发："), 31.8, "qrlSampleBurst",
         panel.sampleBurst + QStringLiteral(" Ω"), 31.8},
        {QT_TRANSLATE_NOOP("UQRMain", "预采样    ："), 36.0, "qrlSamplePoint",
         panel.samplePoint + QCoreApplication::translate("UQRMain", " 点"), 40.2},
        {nullptr, 0, "qrlSampleTime", panel.sampleTime + QStringLiteral(" mS"), 44.5},
        {QT_TRANSLATE_NOOP("UQRMain", "测试人员："), 65.6, "qrlUser", panel.user, 65.6},
        {QT_TRANSLATE_NOOP("UQRMain", "测试地点："), 69.8, "qrlAddr", panel.addr, 69.8},
        {QT_TRANSLATE_NOOP("UQRMain", "测试时间："), 74.1, "qrlTime", panel.memoTime.left(10),
         74.1},
        {nullptr, 0, "qrlTime1", panel.memoTime.right(8), 78.3},
    };
    for (const auto& row : params) {
        if (row.name == std::string_view("qrlUser"))
            texts.push_back(Caption(QT_TRANSLATE_NOOP("UQRMain", "系统设置"), 10.6, 57.1));
        if (row.caption)
            texts.push_back(Caption(row.caption, 0.0, row.y));
        texts.push_back(Label(row.name, row.value, 16.9, row.vy));
    }

    AddScales(texts, shown);

    texts.push_back(Caption(QT_TRANSLATE_NOOP("UQRMain", "相 序 A"), 173.6, 8.5));
    texts.push_back(Caption(QT_TRANSLATE_NOOP("UQRMain", "相 序 B"), 173.6, 48.7));
    texts.push_back(Caption(QT_TRANSLATE_NOOP("UQRMain", "相 序 C"), 173.6, 88.9));
    for (const ResultRow& row : kResultRows) {
        texts.push_back(Caption(row.caption, row.cx, row.y));
        texts.push_back(Label(row.name, shown.boxes[row.box], row.vx, row.y));
    }
    texts.push_back(Caption(
        QT_TRANSLATE_NOOP("UQRMain", " 转角：                      圈                      度"),
        36.0, 148.2));
    texts.push_back(Label("qrlLoop", shown.boxes[kBoxLoop], 48.7, 148.2));
    texts.push_back(Label("qrlAngle", shown.boxes[kBoxAngle], 69.8, 148.2));

    PageText number;
    number.name = QStringLiteral("QRSysData2");
    number.text = QStringLiteral("1");
    number.family = kArial;
    number.points = 9;
    number.opaque = false;
    number.at = {kMargin + kBandWidth, kFooterTop + 2.1};
    number.align = Qt::AlignRight;
    texts.push_back(number);
    const QString maker = shown.brand == 1   ? QStringLiteral("Aulexcorp")
                          : shown.brand == 2 ? QStringLiteral("Borvincorp")
                                             : QString();
    PageText coop = Centred("QRLCoop", maker, 11, kFooterTop + 4.2);
    coop.opaque = false;
    texts.push_back(coop);
    page.footerLine = {QPointF(kMargin, kFooterTop), QPointF(kMargin + kBandWidth, kFooterTop)};
    return page;
}

QString ReportTitle() {
    return QCoreApplication::translate("UQRMain", "VQ8512有载分接开关测试仪 主报表");
}
