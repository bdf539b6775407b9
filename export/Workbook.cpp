#include "Workbook.h"

#include "ChartPicture.h"
#include "DocxPackage.h"
#include "FileNames.h"
#include "FileTarget.h"
#include "NativeFile.h"
#include "SheetCells.h"
#include "WorkbookFile.h"
#include "XmlText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <pugixml.hpp>
#include <sys/statvfs.h>
#include <xlsxwriter.h>

namespace {

// The columns are as wide as a Chinese Excel makes them with its 宋体 11
// (72 pixels): so the picture ends before the results in column m, as it
// does there. Rows keep the default 15 points (20 pixels); 96 pixels to the inch.
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr double kColumnWidth = 9.63; // characters: 9.63 * 7 + 5 pixels of padding
constexpr int kColumnPixels = 72;
constexpr int kRowPixels = 20;

// The texts of the workbook, in the program's language, as UTF-8.
QByteArray Tr(const char* text) {
    return QCoreApplication::translate("Workbook", text).toUtf8();
}
QByteArray WaveSheet() {
    return Tr(QT_TRANSLATE_NOOP("Workbook", "波形数据"));
}

void FillSheet(Book& book, lxw_worksheet* sheet, const ShownTest& shown) {
    lxw_format* text = workbook_add_format(book.get());
    format_set_num_format(text, "@");
    lxw_format* centred = workbook_add_format(book.get());
    format_set_num_format(centred, "@");
    format_set_align(centred, LXW_ALIGN_CENTER);
    // Every column text-formatted, so that a value is never read as a number.
    book.Check(worksheet_set_column(sheet, 0, LXW_COL_MAX - 1, kColumnWidth, text));

    const QString range =
        ColumnName(1) + QStringLiteral("%1:").arg(1) + ColumnName(13) + QStringLiteral("%1").arg(1);
    for (const PlacedText& cell : SheetCells(shown)) {
        const QByteArray value = XmlSafeUtf8(cell.text.toUtf8());
        const lxw_row_t row = lxw_row_t(cell.row - 1);
        const lxw_col_t col = lxw_col_t(cell.column - 1);
        if (cell.row == 1 && cell.column == 1) {
            const QByteArray r = range.toUpper().toLatin1();
            book.Check(worksheet_merge_range(
                sheet, lxw_name_to_row(r.constData()), lxw_name_to_col(r.constData()),
                lxw_name_to_row_2(r.constData()), lxw_name_to_col_2(r.constData()),
                value.constData(), centred));
        } else {
            book.Check(worksheet_write_string(sheet, row, col, value.constData(), text));
        }
    }
}

lxw_error InsertSheetPicture(lxw_worksheet* sheet, const QByteArray& png, QSize size) {
    // The anchor cell and the offsets within it, from the default grid.
    const double left = kSheetPictureLeft * kPixelsPerPoint;
    const double top = kSheetPictureTop * kPixelsPerPoint;
    const int col = int(left) / kColumnPixels;
    const int row = int(top) / kRowPixels;
    lxw_image_options options{};
    options.x_offset = int32_t(std::nearbyint(left - col * kColumnPixels));
    options.y_offset = int32_t(std::nearbyint(top - row * kRowPixels));
    // The picture carries kPictureDpi; the writer scales by 96 / its dpi.
    const double dpiFactor = kPictureDotsPerMeter * 0.0254 / 96.0;
    options.x_scale = kSheetPictureWidth * kPixelsPerPoint / size.width() * dpiFactor;
    options.y_scale = kSheetPictureHeight * kPixelsPerPoint / size.height() * dpiFactor;
    static char description[] = "chart";
    options.description = description;
    return worksheet_insert_image_buffer_opt(
        sheet, lxw_row_t(row), lxw_col_t(col),
        reinterpret_cast<const unsigned char*>(png.constData()), size_t(png.size()), &options);
}

void FillWaveSheet(Book& book, lxw_worksheet* sheet, const TestRecord& record) {
    lxw_format* head = workbook_add_format(book.get());
    format_set_bold(head);
    lxw_format* time = workbook_add_format(book.get());
    format_set_num_format(time, "0.0");
    lxw_format* ohm = workbook_add_format(book.get());
    format_set_num_format(ohm, "0.00");
    const QByteArray heads[4] = {Tr(QT_TRANSLATE_NOOP("Workbook", "时间(ms)")), "A(Ω)", "B(Ω)",
                                 "C(Ω)"};
    for (int c = 0; c < 4; ++c)
        book.Check(worksheet_write_string(sheet, 0, lxw_col_t(c), heads[c].constData(), head));
    for (int k = 1; k <= kSampleCount; ++k) {
        book.Check(worksheet_write_number(sheet, lxw_row_t(k), 0, k / 10.0, time));
        for (int p = kPhaseA; p <= kPhaseC; ++p)
            book.Check(worksheet_write_number(sheet, lxw_row_t(k), lxw_col_t(p),
                                              record.SampleAt(p, k) / 100.0, ohm));
    }
    worksheet_freeze_panes(sheet, 1, 0);

    lxw_chart* chart = workbook_add_chart(book.get(), LXW_CHART_SCATTER_STRAIGHT);
    book.Check(chart);
    if (!chart)
        return;
    const QByteArray last = QByteArray::number(kSampleCount + 1);
    const QByteArray x = "='" + WaveSheet() + "'!$A$2:$A$" + last;
    const char* const columns[3] = {"B", "C", "D"};
    const QByteArray names[3] = {Tr(QT_TRANSLATE_NOOP("Workbook", "A相")),
                                 Tr(QT_TRANSLATE_NOOP("Workbook", "B相")),
                                 Tr(QT_TRANSLATE_NOOP("Workbook", "C相"))};
    // The colours of the window's phase buttons: its yellow would not show on white.
    const lxw_color_t colors[3] = {0x808000, 0x008000, 0xFF0000};
    for (int p = 0; p < 3; ++p) {
        const QByteArray y =
            "='" + WaveSheet() + "'!$" + columns[p] + "$2:$" + columns[p] + "$" + last;
        lxw_chart_series* series = chart_add_series(chart, x.constData(), y.constData());
        book.Check(series);
        if (!series)
            return;
        chart_series_set_name(series, names[p].constData());
        // Without a copy of the 2688 points in the chart: office suites draw
        // it from the sheet, and the workbook is written in half the time.
        series->categories->ignore_cache = 1;
        series->values->ignore_cache = 1;
        lxw_chart_line line{};
        line.color = colors[p];
        line.width = 1.25;
        chart_series_set_line(series, &line);
    }
    chart_title_set_name(chart, Tr(QT_TRANSLATE_NOOP("Workbook", "三相过渡波形")).constData());
    chart_axis_set_name(chart->x_axis, heads[0].constData());
    chart_axis_set_name(chart->y_axis, Tr(QT_TRANSLATE_NOOP("Workbook", "电阻(Ω)")).constData());
    chart_axis_set_min(chart->x_axis, 0);
    chart_axis_set_max(chart->x_axis, kSampleCount / 10.0);
    chart_legend_set_position(chart, LXW_CHART_LEGEND_BOTTOM);
    lxw_chart_options place{};
    place.x_scale = 2.0;
    place.y_scale = 1.8;
    book.Check(worksheet_insert_chart_opt(sheet, 1, 5, chart, &place));
}

} // namespace

QString ColumnName(int n) {
    const int q = (n - 1) / 26;
    QString name;
    if (q >= 1)
        name += QChar(u'a' + q - 1);
    name += QChar(u'a' + (n - 1) % 26);
    return name;
}

ExportResult WriteWorkbook(const ShownTest& shown, const QImage& chart, const QString& path) {
    const QByteArray png = PngOf(chart);
    if (png.isEmpty())
        return ExportResult::Failed(ExportResult::CannotWrite,
                                    QStringLiteral("the chart picture cannot be stored"));
    return WriteBook(path, [&](Book& book) {
        lxw_worksheet* sheet = workbook_add_worksheet(book.get(), "Sheet1");
        lxw_worksheet* waves = workbook_add_worksheet(book.get(), WaveSheet().constData());
        if (!sheet || !waves)
            return false;
        FillSheet(book, sheet, shown);
        // Printed, the report is one landscape page.
        worksheet_set_landscape(sheet);
        worksheet_set_paper(sheet, 9); // A4
        worksheet_fit_to_pages(sheet, 1, 1);
        book.Check(InsertSheetPicture(sheet, png, chart.size()));
        FillWaveSheet(book, waves, shown.record);
        return true;
    });
}
