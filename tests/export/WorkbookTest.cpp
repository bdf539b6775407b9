#include "Workbook.h"
#include "ReadBack.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

TEST(Workbook, ColumnNames) {
    const std::pair<int, const char*> cases[] = {{1, "a"},   {13, "m"},  {26, "z"},  {27, "aa"},
                                                 {52, "az"}, {53, "ba"}, {702, "zz"}};
    for (const auto& [n, name] : cases)
        EXPECT_EQ(ColumnName(n), QLatin1String(name)) << n;
}

TEST(Workbook, CellsAsTheWindowShowsThemReadBackByOpenpyxl) {
    struct Case {
        const char* name;
        std::function<void(ShownTest&)> change;
        std::vector<std::pair<const char*, const char*>> cells; // "row,column" -> text
    };
    const Case cases[] = {
        {"a shown test",
         [](ShownTest&) {},
         {{"1,1", "有载分接开关测试仪报告"},
          {"3,1", "开关类型:中性点引出"},
          {"3,2", "中性点引出"},
          {"4,2", "(A.B.C)->O"},
          {"5,2", "8 -> 9"},
          {"6,2", "2.5 Ω"},
          {"7,1", "预采样  :"},
          {"8,2", "20 点"},
          {"9,2", "2.0 mS"},
          {"14,2", "2026-12-09 10:31:07"},
          {"2,13", "相序A"},
          {"3,13", "T1: 10.0 mS"},
          {"6,13", "T : 30.0 mS"},
          {"12,13", "T1: 10.0 mS"},
          {"26,13", "R2: 13.37 Ω"},
          {"28,11", "△T : 0.0 mS"},
          {"30,13", "△R2: 0.00 Ω"},
          {"30,8", "转角: 2 圈 35 度"}}},
        {"empty boxes",
         [](ShownTest& s) {
             for (QString& box : s.boxes)
                 box.clear();
         },
         {{"3,13", "T1:  mS"},
          {"8,13", "R2:  Ω"},
          {"30,8", "转角:  圈  度"},
          {"29,11", "△T2:  mS"}}},
        {"leading zeros and blanks stay text",
         [](ShownTest& s) {
             s.panel.user = QStringLiteral("007");
             s.panel.addr = QStringLiteral("0012.50");
             s.boxes[kBoxAT1] = QStringLiteral("01.0");
         },
         {{"12,2", "007"}, {"13,2", "0012.50"}, {"3,13", "T1: 01.0 mS"}}},
        {"control bytes from the tester are not written",
         [](ShownTest& s) {
             s.panel.user = QStringLiteral("Wa\x0Bng");
             s.panel.addr = QStringLiteral("\x1B[2J北郊\x0C站");
         },
         {{"12,2", "Wang"}, {"13,2", "[2J北郊站"}}},
    };
    QTemporaryDir folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShownTest shown = SampleShown();
        c.change(shown);
        const QString path = folder.filePath(QStringLiteral("t.xlsx"));
        ASSERT_TRUE(WriteWorkbook(shown, SamplePicture(), path).ok());
        const QJsonObject book = ReadBack(path);
        const QJsonObject cells = book[u"cells"].toObject();
        for (const auto& [at, text] : c.cells)
            EXPECT_EQ(cells[QLatin1String(at)][u"text"].toString(), QString::fromUtf8(text)) << at;
        // Every text is a text cell of format "@", and nothing else is written:
        // rows 10, 18, 19, 27 and columns 3 to 7, 9, 10, 12 stay empty.
        for (auto it = cells.begin(); it != cells.end(); ++it) {
            const QStringList at = it.key().split(u',');
            const int row = at[0].toInt(), column = at[1].toInt();
            EXPECT_EQ(it.value()[u"format"].toString(), u"@") << it.key().toStdString();
            EXPECT_EQ(it.value()[u"type"].toString(), u"s") << it.key().toStdString();
            EXPECT_FALSE(row == 10 || row == 18 || row == 19 || row == 27 || row > 30)
                << it.key().toStdString();
            EXPECT_TRUE(column == 1 || column == 2 || column == 8 || column == 11 || column == 13)
                << it.key().toStdString();
        }
        EXPECT_FALSE(cells.contains(u"7,2"));
    }
}

TEST(Workbook, TitlePictureAndWaveSheet) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("t.xlsx"));
    const QImage picture = SamplePicture();
    ASSERT_TRUE(WriteWorkbook(SampleShown(), picture, path).ok());
    QImage stored;
    const QJsonObject book = ReadBack(path, &stored);
    EXPECT_EQ(book[u"merged"].toArray(), QJsonArray{u"A1:M1"_qs});
    EXPECT_EQ(book[u"a1_centred"].toString(), u"center");
    // All columns are text-formatted, so what is typed later stays text too.
    bool allColumns = false;
    const QJsonObject columns = book[u"columns"].toObject();
    for (auto it = columns.begin(); it != columns.end(); ++it)
        allColumns =
            allColumns || (it.value()[u"min"].toInt() == 1 && it.value()[u"max"].toInt() == 16384 &&
                           it.value()[u"format"].toString() == u"@");
    EXPECT_TRUE(allColumns) << QJsonDocument(columns).toJson().toStdString();

    // Left 150 pt = 200 px: column c (72 px columns) and 56 px; top 20 pt =
    // 26.7 px: row 2 and 7 px (whole pixels). 485 x 360 pt.
    const QJsonObject at = book[u"picture"].toObject();
    EXPECT_EQ(at[u"col"].toInt(), 2);
    EXPECT_EQ(at[u"colOff"].toInt(), 56 * 9525);
    EXPECT_EQ(at[u"row"].toInt(), 1);
    EXPECT_EQ(at[u"rowOff"].toInt(), 7 * 9525);
    EXPECT_EQ(at[u"cx"].toInt(), 485 * 12700);
    EXPECT_EQ(at[u"cy"].toInt(), 360 * 12700);
    EXPECT_EQ(stored.convertToFormat(QImage::Format_RGB32), picture) << "the same pixels";

    EXPECT_EQ(book[u"sheets"].toArray(), (QJsonArray{u"Sheet1"_qs, u"波形数据"_qs}));
    EXPECT_EQ(book[u"wave_rows"].toInt(), 2689);
    const QJsonArray first = book[u"wave_sample"].toArray()[1].toArray();
    EXPECT_EQ(first[0].toDouble(), 0.1);
    EXPECT_EQ(first[1].toDouble(), 0.5);
    const QJsonArray last = book[u"wave_last"].toArray();
    EXPECT_EQ(last[0].toDouble(), 268.8);
    EXPECT_EQ(last[3].toDouble(), 0.52);
    EXPECT_EQ(book[u"charts"].toInt(), 1);
}
