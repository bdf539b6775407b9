#include "SheetCells.h"

#include <QCoreApplication>

namespace {

const char* const kPhaseFormats[6] = {"T1: %1 mS", "T2: %1 mS", "T3: %1 mS",
                                      "T : %1 mS", "R1: %1 Ω",  "R2: %1 Ω"};

QString Filled(const char* format, const QString& text) {
    return QString::fromUtf8(format).arg(text);
}

} // namespace

QString RotationText(const ShownTest& shown) {
    return QCoreApplication::translate("SheetCells", "转角: %1 圈 %2 度")
        .arg(shown.boxes[kBoxLoop], shown.boxes[kBoxAngle]);
}

std::vector<PlacedText> SheetCells(const ShownTest& shown) {
    const PanelTexts& t = shown.panel;
    const auto& b = shown.boxes;
    std::vector<PlacedText> cells = {
        {1, 1, QCoreApplication::translate("SheetCells", "有载分接开关测试仪报告")},
        {2, 1, QCoreApplication::translate("SheetCells", "测试参数")},
        {3, 1, QCoreApplication::translate("SheetCells", "开关类型:") + t.switchType},
        {3, 2, t.switchType},
        {4, 1, QCoreApplication::translate("SheetCells", "测试方式:")},
        {4, 2, t.testMode},
        {5, 1, QCoreApplication::translate("SheetCells", "测试档位:")},
        {5, 2, t.testStep},
        {6, 1, QCoreApplication::translate("SheetCells", "采样触发:")},
        {6, 2, Filled("%1 Ω", t.sampleBurst)},
        {7, 1, QCoreApplication::translate("SheetCells", "预采样  :")},
        {8, 2, QCoreApplication::translate("SheetCells", "%1 点").arg(t.samplePoint)},
        {9, 2, Filled("%1 mS", t.sampleTime)},
        {11, 1, QCoreApplication::translate("SheetCells", "系统设置")},
        {12, 1, QCoreApplication::translate("SheetCells", "测试人员:")},
        {12, 2, t.user},
        {13, 1, QCoreApplication::translate("SheetCells", "测试地点:")},
        {13, 2, t.addr},
        {14, 1, QCoreApplication::translate("SheetCells", "测试时间:")},
        {14, 2, t.memoTime},
    };
    // Each phase: its title, then T1 T2 T3 T R1 R2 one row each.
    const int titleRows[3] = {2, 11, 20};
    const char* const titles[3] = {QT_TRANSLATE_NOOP("SheetCells", "相序A"),
                                   QT_TRANSLATE_NOOP("SheetCells", "相序B"),
                                   QT_TRANSLATE_NOOP("SheetCells", "相序C")};
    for (int p = 0; p < 3; ++p) {
        cells.push_back({titleRows[p], 13, QCoreApplication::translate("SheetCells", titles[p])});
        for (int i = 0; i < 6; ++i)
            cells.push_back({titleRows[p] + 1 + i, 13, Filled(kPhaseFormats[i], b[6 * p + i])});
    }
    cells.push_back({28, 11, Filled("△T : %1 mS", b[kBoxDT])});
    cells.push_back({28, 13, Filled("△T1: %1 mS", b[kBoxDT1])});
    cells.push_back({29, 11, Filled("△T2: %1 mS", b[kBoxDT2])});
    cells.push_back({29, 13, Filled("△T3: %1 mS", b[kBoxDT3])});
    cells.push_back({30, 11, Filled("△R1: %1 Ω", b[kBoxDR1])});
    cells.push_back({30, 13, Filled("△R2: %1 Ω", b[kBoxDR2])});
    cells.push_back({30, 8, RotationText(shown)});
    return cells;
}

std::vector<PlacedText> DocumentCells(const ShownTest& shown) {
    const PanelTexts& t = shown.panel;
    const auto& b = shown.boxes;
    std::vector<PlacedText> cells = {
        {2, 2, t.switchType},
        {3, 2, t.testMode},
        {4, 2, t.testStep},
        {5, 2, t.sampleBurst},
        {7, 2, t.samplePoint + QCoreApplication::translate("SheetCells", " 点")},
        {8, 2, t.sampleTime + QCoreApplication::translate("SheetCells", " mS")},
        {10, 2, t.user},
        {11, 2, t.addr},
        {12, 2, t.memoTime},
    };
    // The phases' rows; rows 7 and 9 hold their value in the fourth cell.
    const int firstRows[3] = {2, 9, 16};
    for (int p = 0; p < 3; ++p)
        for (int i = 0; i < 6; ++i) {
            const int row = firstRows[p] + i;
            cells.push_back({row, row == 7 || row == 9 ? 4 : 5, b[6 * p + i]});
        }
    cells.push_back({23, 4, RotationText(shown)});
    cells.push_back({23, 6, b[kBoxDT]});
    cells.push_back({24, 6, b[kBoxDT2]});
    cells.push_back({25, 6, b[kBoxDR1]});
    cells.push_back({23, 8, b[kBoxDT1]});
    cells.push_back({24, 8, b[kBoxDT3]});
    cells.push_back({25, 8, b[kBoxDR2]});
    return cells;
}
