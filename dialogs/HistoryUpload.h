#pragma once

#include <functional>

class QWidget;
class TFrmHistoryIndex;
class Tester;
struct TestRecord;

// Asks the tester how many tests it keeps and builds the history dialog
// with up to 100 of them listed, not yet shown. Null, after "通讯失败！",
// when the count did not arrive.
TFrmHistoryIndex* OpenHistoryIndex(QWidget* parent, Tester& tester, TestRecord& record,
                                   std::function<void()> showUploaded);

// The "上传数据" command: a pause of 1000 ms for the tester (no events are
// processed), then the history dialog, modal, filled before it shows. Each
// upload from it ends with `showUploaded`, which the main window uses to
// lock and refill its panel, redraw, show the results and mark the record.
void UploadFromHistory(QWidget* parent, Tester& tester, TestRecord& record,
                       std::function<void()> showUploaded);
