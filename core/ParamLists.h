#pragma once

#include "TestRecord.h"

#include <QString>
#include <QStringList>

// The item lists of the parameter panel; a field holds the item index.
QStringList SwitchTypeItems();
// Switch type index 0 has its one mode; any other index (no selection
// included) lists the two modes of type 1.
QStringList TestModeItems(int switchTypeIndex);
QStringList TestStepItems(); // 198 entries
QStringList SampleLengthItems();
QStringList ChargeTimeItems();
QStringList SeriesTypeItems();

// The item index the mode list shows for these parameters: type 0 always
// shows its one mode, whatever iTestMode holds.
int ShownTestMode(const TestParams& params);

// The text a pick list shows for an index: empty when the index is not in the list.
QString ItemText(const QStringList& items, int index);
