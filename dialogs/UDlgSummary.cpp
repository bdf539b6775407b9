#include "UDlgSummary.h"

#include "FileTarget.h"
#include "Helpers.h"
#include "Message.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const kValues[] = {"T1", "T2", "T3", "T", "R1", "R2"};

QString VerdictWords(Verdict v) {
    return v == Verdict::Pass   ? QStringLiteral("合格")
           : v == Verdict::Fail ? QStringLiteral("不合格")
                                : QStringLiteral("无法判断");
}

} // namespace

TFrmSummary::TFrmSummary(SummaryPages pages, std::function<void(const QString&)> open,
                         QWidget* parent)
    : QDialog(parent), pages_(std::move(pages)), open_(std::move(open)) {
    setWindowTitle(QStringLiteral("汇总"));
    resize(1100, 640);
    const JudgedCampaign& campaign = pages_.campaign;
    int failing = 0;
    for (const JudgedTest& t : campaign.tests)
        failing += t.verdict == Verdict::Fail;
    LblVerdict = new QLabel(
        QStringLiteral("测试地点：%1    被试设备：%2    结论：%3（共 %4 次测试，"
                       "不合格 %5 次）")
            .arg(pages_.heading.place, pages_.heading.device, VerdictWords(campaign.overall))
            .arg(campaign.tests.size())
            .arg(failing),
        this);

    Grid = new QTableWidget(int(campaign.tests.size()), 2 + 18, this);
    QStringList header = {QStringLiteral("分接位置")};
    for (const char* phase : {"A", "B", "C"})
        for (const char* value : kValues)
            header << QStringLiteral("%1 %2").arg(QLatin1String(phase), QLatin1String(value));
    header << QStringLiteral("结论");
    Grid->setHorizontalHeaderLabels(header);
    Grid->verticalHeader()->hide();
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->horizontalHeader()->setDefaultSectionSize(52);
    Grid->setColumnWidth(0, 70);
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
    connect(Grid, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        if (open_ && row >= 0 && row < pages_.campaign.tests.size())
            open_(pages_.campaign.tests[row].id);
    });

    MemoFindings = new QPlainTextEdit(this);
    MemoFindings->setReadOnly(true);
    QStringList lines = campaign.notes;
    for (const JudgedTest& t : campaign.tests)
        for (const Finding& f : t.findings)
            lines << QStringLiteral("%1  %2").arg(StepText(t.step), f.text);
    MemoFindings->setPlainText(lines.isEmpty() ? QStringLiteral("所有测试均在允许范围之内。")
                                               : lines.join(u'\n'));

    BtnExport = new QPushButton(QStringLiteral("导出"), this);
    BtnClose = new QPushButton(QStringLiteral("关闭"), this);
    connect(BtnExport, &QPushButton::clicked, this, [this] { BtnExportClick(); });
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnExport);
    buttons->addWidget(BtnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LblVerdict);
    layout->addWidget(Grid, 3);
    layout->addWidget(MemoFindings, 1);
    layout->addLayout(buttons);
}

bool TFrmSummary::BtnExportClick(const QString& path) {
    const QString target =
        !path.isEmpty()
            ? path
            : QFileDialog::getSaveFileName(
                  this, QStringLiteral("导出汇总"), QString(),
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
        why = QStringLiteral("只能导出 .pdf、.xlsx、.json 或 .csv");
    if (!written)
        ShowMessage(QStringLiteral("导出汇总失败！") + why, MsgIcon::Information);
    return written;
}
