#include "SummaryWorkbook.h"

#include "Helpers.h"
#include "WorkbookFile.h"

#include <QCoreApplication>

namespace {

const char* const kValues[] = {"T1", "T2", "T3", "T", "R1", "R2"};
const char* const kPhases[] = {"A", "B", "C"};
constexpr int kFirstRow = 3; // the header row; the taps below it

QString Verdict(Verdict v) {
    return v == Verdict::Pass   ? QCoreApplication::translate("SummaryWorkbook", "合格")
           : v == Verdict::Fail ? QCoreApplication::translate("SummaryWorkbook", "不合格")
                                : QCoreApplication::translate("SummaryWorkbook", "无法判断");
}

QByteArray Utf8(const QString& text) {
    return text.toUtf8();
}

QByteArray Tr(const char* text) {
    return QCoreApplication::translate("SummaryWorkbook", text).toUtf8();
}

void FillDirection(Book& book, lxw_worksheet* sheet, const QList<const JudgedTest*>& tests,
                   const SummaryHeading& heading, const QByteArray& sheetName) {
    lxw_format* bold = workbook_add_format(book.get());
    format_set_bold(bold);
    lxw_format* header = workbook_add_format(book.get());
    format_set_bold(header);
    format_set_align(header, LXW_ALIGN_CENTER);
    format_set_bottom(header, LXW_BORDER_THIN);
    lxw_format* number = workbook_add_format(book.get());
    format_set_num_format(number, "0.00");
    lxw_format* failing = workbook_add_format(book.get());
    format_set_num_format(failing, "0.00");
    format_set_bold(failing);
    format_set_bg_color(failing, 0xFFD2D2);
    format_set_border(failing, LXW_BORDER_THIN);

    const QString lines[] = {
        QCoreApplication::translate("SummaryWorkbook", "测试地点：%1    被试设备：%2")
            .arg(heading.place, heading.device),
        QCoreApplication::translate("SummaryWorkbook", "测试时间：%1 至 %2    测试人员：%3")
            .arg(heading.from, heading.to, heading.user)};
    for (int i = 0; i < 2; ++i)
        book.Check(worksheet_write_string(sheet, lxw_row_t(i), 0, Utf8(lines[i]).constData(),
                                          i == 0 ? bold : nullptr));
    book.Check(worksheet_write_string(
        sheet, kFirstRow, 0, Tr(QT_TRANSLATE_NOOP("SummaryWorkbook", "分接位置")).constData(),
        header));
    for (int p = 0; p < 3; ++p)
        for (int i = 0; i < 6; ++i)
            book.Check(worksheet_write_string(
                sheet, kFirstRow, lxw_col_t(1 + p * 6 + i),
                QStringLiteral("%1 %2")
                    .arg(QLatin1String(kPhases[p]), QLatin1String(kValues[i]))
                    .toUtf8()
                    .constData(),
                header));
    book.Check(worksheet_write_string(sheet, kFirstRow, 19,
                                      Tr(QT_TRANSLATE_NOOP("SummaryWorkbook", "结论")).constData(),
                                      header));
    book.Check(worksheet_write_string(
        sheet, kFirstRow, 20, Tr(QT_TRANSLATE_NOOP("SummaryWorkbook", "判断依据")).constData(),
        header));
    book.Check(worksheet_set_column(sheet, 0, 0, 10, nullptr));
    book.Check(worksheet_set_column(sheet, 1, 18, 7.5, nullptr));
    book.Check(worksheet_set_column(sheet, 20, 20, 60, nullptr));
    worksheet_freeze_panes(sheet, kFirstRow + 1, 1);

    int row = kFirstRow + 1;
    for (const JudgedTest* t : tests) {
        book.Check(worksheet_write_string(sheet, lxw_row_t(row), 0,
                                          Utf8(StepText(t->step)).constData(), nullptr));
        for (int p = 0; p < 3; ++p) {
            const PhaseValues& v = t->phases[p];
            if (!v.drawn || !v.found)
                continue; // an empty cell: nothing to read
            const double values[] = {v.T1, v.T2, v.T3, v.T, v.R1, v.R2};
            for (int i = 0; i < 6; ++i) {
                bool bad = false;
                for (const Finding& f : t->findings)
                    bad = bad || (f.phase == p && f.value == QLatin1String(kValues[i]));
                book.Check(worksheet_write_number(sheet, lxw_row_t(row), lxw_col_t(1 + p * 6 + i),
                                                  values[i], bad ? failing : number));
            }
        }
        QStringList texts;
        for (const Finding& f : t->findings)
            texts << f.text;
        book.Check(worksheet_write_string(sheet, lxw_row_t(row), 19,
                                          Utf8(Verdict(t->verdict)).constData(),
                                          t->verdict == Verdict::Pass ? nullptr : bold));
        if (!texts.isEmpty())
            book.Check(worksheet_write_string(
                sheet, lxw_row_t(row), 20,
                Utf8(texts.join(QCoreApplication::translate("SummaryWorkbook", "；"))).constData(),
                nullptr));
        ++row;
    }
    if (tests.isEmpty())
        return;
    const int last = row - 1;
    // T, and R1 with R2, against the tap: a line per phase.
    struct Plot {
        const char* title;
        QList<int> values;
        int atRow;
    };
    const Plot plots[] = {
        {QT_TRANSLATE_NOOP("SummaryWorkbook", "过渡时间 T (ms)"), {3}, row + 1},
        {QT_TRANSLATE_NOOP("SummaryWorkbook", "过渡电阻 R1、R2 (Ω)"), {4, 5}, row + 17}};
    for (const Plot& plot : plots) {
        lxw_chart* chart = workbook_add_chart(book.get(), LXW_CHART_LINE);
        book.Check(chart);
        if (!chart)
            return;
        for (int p = 0; p < 3; ++p)
            for (int i : plot.values) {
                const int column = 1 + p * 6 + i;
                lxw_chart_series* series = chart_add_series(chart, nullptr, nullptr);
                book.Check(series);
                if (!series)
                    return;
                chart_series_set_categories(series, sheetName.constData(), kFirstRow + 1, 0,
                                            lxw_row_t(last), 0);
                chart_series_set_values(series, sheetName.constData(), kFirstRow + 1,
                                        lxw_col_t(column), lxw_row_t(last), lxw_col_t(column));
                chart_series_set_name_range(series, sheetName.constData(), kFirstRow,
                                            lxw_col_t(column));
                lxw_chart_line line{};
                line.dash_type = p == 0   ? LXW_CHART_LINE_DASH_SOLID
                                 : p == 1 ? LXW_CHART_LINE_DASH_DASH
                                          : LXW_CHART_LINE_DASH_ROUND_DOT;
                line.width = i == 5 ? 1.0 : 1.75;
                chart_series_set_line(series, &line);
                lxw_chart_marker marker{};
                marker.type = p == 0   ? LXW_CHART_MARKER_CIRCLE
                              : p == 1 ? LXW_CHART_MARKER_SQUARE
                                       : LXW_CHART_MARKER_TRIANGLE;
                marker.size = 5;
                chart_series_set_marker_type(series, marker.type);
                chart_series_set_marker_size(series, marker.size);
            }
        chart_title_set_name(chart, Tr(plot.title).constData());
        chart_axis_set_name(chart->x_axis,
                            Tr(QT_TRANSLATE_NOOP("SummaryWorkbook", "分接位置")).constData());
        chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
        lxw_chart_options place{};
        place.x_scale = 1.6;
        place.y_scale = 1.1;
        book.Check(worksheet_insert_chart_opt(sheet, lxw_row_t(plot.atRow), 1, chart, &place));
    }
}

} // namespace

ExportResult WriteSummaryWorkbook(const JudgedCampaign& campaign, const SummaryHeading& heading,
                                  const QString& path) {
    return WriteBook(path, [&](Book& book) {
        for (const bool up : {true, false}) {
            QList<const JudgedTest*> tests;
            for (const JudgedTest& t : campaign.tests)
                if (t.up == up)
                    tests << &t;
            if (tests.isEmpty() && !(up && campaign.tests.isEmpty()))
                continue;
            const QByteArray name = up ? Tr(QT_TRANSLATE_NOOP("SummaryWorkbook", "方向 ->"))
                                       : Tr(QT_TRANSLATE_NOOP("SummaryWorkbook", "方向 <-"));
            lxw_worksheet* sheet = workbook_add_worksheet(book.get(), name.constData());
            if (!sheet)
                return false;
            FillDirection(book, sheet, tests, heading, name);
        }
        return true;
    });
}
