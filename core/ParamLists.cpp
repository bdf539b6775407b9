#include "ParamLists.h"

#include "Helpers.h"

#include <QCoreApplication>

QStringList SwitchTypeItems() {
    return {QCoreApplication::translate("ParamLists", "中性点引出"),
            QCoreApplication::translate("ParamLists", "中性点不引出")};
}

QStringList TestModeItems(int switchTypeIndex) {
    if (switchTypeIndex == 0)
        return {QStringLiteral("(A.B.C)->O")};
    return {QStringLiteral("(A.C)->B"), QStringLiteral("(A.B)->C")};
}

QStringList TestStepItems() {
    QStringList items;
    for (int k = 0; k < 198; ++k)
        items << StepText(k);
    return items;
}

QStringList SampleLengthItems() {
    return {QCoreApplication::translate("ParamLists", "无"),
            QCoreApplication::translate("ParamLists", "低"),
            QCoreApplication::translate("ParamLists", "中"),
            QCoreApplication::translate("ParamLists", "高")};
}

QStringList ChargeTimeItems() {
    QStringList items{QCoreApplication::translate("ParamLists", "手动")};
    for (int k = 1; k <= 19; ++k)
        items << QString::number(5 * k);
    return items;
}

QStringList SeriesTypeItems() {
    return {QCoreApplication::translate("ParamLists", "电压"),
            QCoreApplication::translate("ParamLists", "电阻")};
}

int ShownTestMode(const TestParams& params) {
    return params.iSwitchType == 0 ? 0 : params.iTestMode;
}

QString ItemText(const QStringList& items, int index) {
    return index >= 0 && index < items.size() ? items[index] : QString();
}
