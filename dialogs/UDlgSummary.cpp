#include "UDlgSummary.h"

#include "FileTarget.h"
#include "Helpers.h"
#include "Message.h"
#include "SummaryPlots.h"
#include "TestBody.h"
#include "TestFile.h"
#include "TestToJudge.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const kValues[] = {"T1", "T2", "T3", "T", "R1", "R2"};

QString VerdictWords(Verdict v) {
    return v == Verdict::Pass   ? QCoreApplication::translate("UDlgSummary", "合格")
           : v == Verdict::Fail ? QCoreApplication::translate("UDlgSummary", "不合格")
                                : QCoreApplication::translate("UDlgSummary", "无法判断");
}

// The .cty files a path names: itself, or those of a folder and its folders, in name order.
QStringList TestFilesOf(const QString& path) {
    if (!QFileInfo(path).isDir())
        return {path};
    QStringList files;
    QDirIterator it(path, {QStringLiteral("*.cty"), QStringLiteral("*.CTY")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

} // namespace

QList<TestToPrepare>
ReadTestsOf(const QStringList& paths,
            const std::function<std::optional<TransitionMarkers>(const QString&)>& kept,
            QStringList* refused) {
    QList<TestToPrepare> read;
    for (const QString& path : paths)
        for (const QString& file : TestFilesOf(path)) {
            QFile f(file);
            auto record = std::make_shared<TestRecord>();
            QByteArray bytes;
            if (f.open(QIODevice::ReadOnly))
                bytes = f.read(kTestFileSize);
            if (bytes.size() < kTestFileSize || !DecodeTestFile(bytes, *record)) {
                if (refused)
                    *refused << QFileInfo(file).fileName();
                continue;
            }
            const QString id = TestId(bytes);
            read << TestToPrepare{record, id, file, kept ? kept(id) : std::nullopt};
        }
    return read;
}

TFrmSummary::TFrmSummary(SummaryInputs inputs, std::function<void(const QString&)> open,
                         QWidget* parent)
    : QDialog(parent), inputs_(std::move(inputs)), open_(std::move(open)) {
    setWindowTitle(QCoreApplication::translate("UDlgSummary", "汇总"));
    resize(1100, 680);
    baselineFrom_ =
        inputs_.baselines.isEmpty()
            ? QCoreApplication::translate("UDlgSummary", "无")
            : QCoreApplication::translate("UDlgSummary", "%1 次测试").arg(inputs_.baselines.size());
    profileFrom_ = QCoreApplication::translate("UDlgSummary", "默认");
    LblVerdict = new QLabel(this);
    LblChoices = new QLabel(this);
    BtnBaseline = new QPushButton(QCoreApplication::translate("UDlgSummary", "基准..."), this);
    BtnProfile = new QPushButton(QCoreApplication::translate("UDlgSummary", "判断标准..."), this);
    auto* baselineMenu = new QMenu(BtnBaseline);
    connect(baselineMenu, &QMenu::aboutToShow, this, [this, baselineMenu] {
        baselineMenu->clear();
        if (archiveBaselines)
            baselineMenu->addAction(
                QCoreApplication::translate("UDlgSummary", "档案中标记的基准"), this, [this] {
                    SetBaselines(archiveBaselines(),
                                 QCoreApplication::translate("UDlgSummary", "档案中标记的基准"));
                });
        baselineMenu->addAction(
            QCoreApplication::translate("UDlgSummary", "选择测试文件..."), this, [this] {
                const QStringList files = QFileDialog::getOpenFileNames(
                    this, QCoreApplication::translate("UDlgSummary", "选择基准"), QString(),
                    QCoreApplication::translate("UDlgSummary", "数据文件(*.cty)"));
                if (!files.isEmpty())
                    LoadBaselines(files);
            });
        baselineMenu->addAction(
            QCoreApplication::translate("UDlgSummary", "选择文件夹..."), this, [this] {
                const QString folder = QFileDialog::getExistingDirectory(
                    this, QCoreApplication::translate("UDlgSummary", "选择基准"));
                if (!folder.isEmpty())
                    LoadBaselines({folder});
            });
        baselineMenu->addAction(
            QCoreApplication::translate("UDlgSummary", "不比较基准"), this,
            [this] { SetBaselines({}, QCoreApplication::translate("UDlgSummary", "无")); });
    });
    BtnBaseline->setMenu(baselineMenu);
    auto* profileMenu = new QMenu(BtnProfile);
    profileMenu->addAction(
        QCoreApplication::translate("UDlgSummary", "选择标准文件..."), this, [this] {
            const QString file = QFileDialog::getOpenFileName(
                this, QCoreApplication::translate("UDlgSummary", "选择判断标准"), QString(),
                QCoreApplication::translate("UDlgSummary", "标准文件(*.ini)"));
            if (!file.isEmpty())
                LoadProfile(file);
        });
    profileMenu->addAction(QCoreApplication::translate("UDlgSummary", "默认标准"), this,
                           [this] { UseDefaultProfile(); });
    BtnProfile->setMenu(profileMenu);

    Grid = new QTableWidget(0, 2 + 18, this);
    QStringList header = {QCoreApplication::translate("UDlgSummary", "分接位置")};
    for (const char* phase : {"A", "B", "C"})
        for (const char* value : kValues)
            header << QStringLiteral("%1 %2").arg(QLatin1String(phase), QLatin1String(value));
    header << QCoreApplication::translate("UDlgSummary", "结论");
    Grid->setHorizontalHeaderLabels(header);
    Grid->verticalHeader()->hide();
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->horizontalHeader()->setDefaultSectionSize(52);
    Grid->setColumnWidth(0, 70);
    connect(Grid, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        if (open_ && row >= 0 && row < pages_.campaign.tests.size())
            open_(pages_.campaign.tests[row].id);
    });
    Plots = new SummaryPlots(this);
    Tabs = new QTabWidget(this);
    Tabs->addTab(Grid, QCoreApplication::translate("UDlgSummary", "数据"));
    Tabs->addTab(Plots, QCoreApplication::translate("UDlgSummary", "曲线"));

    MemoFindings = new QPlainTextEdit(this);
    MemoFindings->setReadOnly(true);

    BtnExport = new QPushButton(QCoreApplication::translate("UDlgSummary", "导出"), this);
    BtnClose = new QPushButton(QCoreApplication::translate("UDlgSummary", "关闭"), this);
    connect(BtnExport, &QPushButton::clicked, this, [this] { BtnExportClick(); });
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::close);
    auto* choices = new QHBoxLayout;
    choices->addWidget(LblChoices, 1);
    choices->addWidget(BtnBaseline);
    choices->addWidget(BtnProfile);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnExport);
    buttons->addWidget(BtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblVerdict);
    layout->addLayout(choices);
    layout->addWidget(Tabs, 3);
    layout->addWidget(MemoFindings, 1);
    layout->addLayout(buttons);
    Rejudge();
}

void TFrmSummary::SetBaselines(QList<TestToJudge> baselines, const QString& from) {
    inputs_.baselines = std::move(baselines);
    baselineFrom_ = inputs_.baselines.isEmpty()
                        ? QCoreApplication::translate("UDlgSummary", "无")
                        : QCoreApplication::translate("UDlgSummary", "%1（%2 次测试）")
                              .arg(from)
                              .arg(inputs_.baselines.size());
    Rejudge();
}

bool TFrmSummary::LoadBaselines(const QStringList& paths) {
    QStringList refused;
    const QList<TestToPrepare> read = ReadTestsOf(paths, keptMarkers, &refused);
    if (read.isEmpty()) {
        ShowMessage(QCoreApplication::translate("UDlgSummary", "没有可用作基准的测试数据！") +
                        refused.join(QCoreApplication::translate("UDlgSummary", "、")),
                    MsgIcon::Information);
        return false;
    }
    SetBaselines(PrepareTests(read), paths.size() == 1
                                         ? QFileInfo(paths[0]).fileName()
                                         : QCoreApplication::translate("UDlgSummary", "所选文件"));
    return true;
}

bool TFrmSummary::LoadProfile(const QString& path) {
    QString why;
    const auto profile = ReadJudgeProfile(path, &why);
    if (!profile) {
        ShowMessage(QCoreApplication::translate("UDlgSummary", "读取判断标准失败！") + why,
                    MsgIcon::Information);
        return false;
    }
    inputs_.profile = *profile;
    profileFrom_ = QFileInfo(path).fileName();
    Rejudge();
    return true;
}

void TFrmSummary::UseDefaultProfile() {
    inputs_.profile = JudgeProfile{};
    profileFrom_ = QCoreApplication::translate("UDlgSummary", "默认");
    Rejudge();
}

void TFrmSummary::Rejudge() {
    pages_ = JudgeSummary(inputs_);
    Fill();
}

void TFrmSummary::Fill() {
    const JudgedCampaign& campaign = pages_.campaign;
    int failing = 0;
    for (const JudgedTest& t : campaign.tests)
        failing += t.verdict == Verdict::Fail;
    LblVerdict->setText(
        QCoreApplication::translate("UDlgSummary",
                                    "测试地点：%1    被试设备：%2    结论：%3（共 %4 次测试，"
                                    "不合格 %5 次）")
            .arg(pages_.heading.place, pages_.heading.device, VerdictWords(campaign.overall))
            .arg(campaign.tests.size())
            .arg(failing));
    LblChoices->setText(QCoreApplication::translate("UDlgSummary", "基准：%1    判断标准：%2")
                            .arg(baselineFrom_, profileFrom_));

    Grid->clearContents();
    Grid->setRowCount(int(campaign.tests.size()));
    for (int row = 0; row < campaign.tests.size(); ++row) {
        const JudgedTest& t = campaign.tests[row];
        Grid->setItem(row, 0, new QTableWidgetItem(StepText(t.step)));
        for (int p = 0; p < 3; ++p) {
            const PhaseValues& v = t.phases[p];
            const double values[] = {v.T1, v.T2, v.T3, v.T, v.R1, v.R2};
            for (int i = 0; i < 6; ++i) {
                auto* item = new QTableWidgetItem(
                    !v.drawn   ? QString()
                    : !v.found ? QStringLiteral("—")
                               : QString::number(values[i], 'f', i < 4 ? 1 : 2));
                item->setTextAlignment(Qt::AlignCenter);
                QStringList why;
                for (const Finding& f : t.findings)
                    if (f.phase == p && f.value == QLatin1String(kValues[i]))
                        why << f.text;
                if (!why.isEmpty()) {
                    QFont bold = item->font();
                    bold.setBold(true);
                    item->setFont(bold);
                    item->setBackground(QColor(255, 210, 210));
                    item->setToolTip(why.join(u'\n'));
                }
                Grid->setItem(row, 1 + p * 6 + i, item);
            }
        }
        auto* verdict = new QTableWidgetItem(VerdictWords(t.verdict));
        verdict->setTextAlignment(Qt::AlignCenter);
        QStringList texts;
        for (const Finding& f : t.findings)
            texts << f.text;
        verdict->setToolTip(texts.join(u'\n'));
        if (t.verdict != Verdict::Pass)
            verdict->setBackground(QColor(255, 210, 210));
        Grid->setItem(row, 19, verdict);
    }
    Plots->SetPages(&pages_);

    QStringList lines = campaign.notes;
    for (const JudgedTest& t : campaign.tests)
        for (const Finding& f : t.findings)
            lines << QStringLiteral("%1  %2").arg(StepText(t.step), f.text);
    MemoFindings->setPlainText(
        lines.isEmpty() ? QCoreApplication::translate("UDlgSummary", "所有测试均在允许范围之内。")
                        : lines.join(u'\n'));
}

bool TFrmSummary::BtnExportClick(const QString& path) {
    const QString target =
        !path.isEmpty()
            ? path
            : QFileDialog::getSaveFileName(
                  this, QCoreApplication::translate("UDlgSummary", "导出汇总"), QString(),
                  QStringLiteral("PDF(*.pdf);;Excel(*.xlsx);;JSON(*.json);;CSV(*.csv)"));
    if (target.isEmpty())
        return false;
    const QString extension = QFileInfo(target).suffix().toLower();
    QString why;
    bool written = false;
    if (extension == u"pdf")
        written = WriteSummaryPdf(target, pages_, &why);
    else if (extension == u"xlsx" && writeWorkbook)
        written = writeWorkbook(target, &why);
    else if (extension == u"json")
        written = WriteWholeFile(target, SummaryJson(pages_.campaign, pages_.heading), &why);
    else if (extension == u"csv")
        written = WriteWholeFile(target, SummaryCsv(pages_.campaign), &why);
    else
        why = QCoreApplication::translate("UDlgSummary", "只能导出 .pdf、.xlsx、.json 或 .csv");
    if (!written)
        ShowMessage(QCoreApplication::translate("UDlgSummary", "导出汇总失败！") + why,
                    MsgIcon::Information);
    return written;
}
