#pragma once

#include "Responses.h"
#include "TestRecord.h"

#include <QByteArrayView>
#include <functional>

// Stored tests that are listed and fetched at most.
inline constexpr int kMaxStoredTests = 100;

// The tester's stored-test count (0..255) by CMD_HISTORY_COUNT.
bool ReadStoredCount(int& count);
// Entry k (1-based): tap step and time.
bool ReadStoredEntry(int k, HistoryEntry& entry);

// Uploads stored test k as the history browser does: header, then phases A,
// B, C, each stored into `record` as it arrives. `progress` hears each block
// number 0..3 with its response once it is stored. On failure `failedBlock`
// tells which block did not arrive; what came before stays in `record`.
using BlockProgress = std::function<void(int block, QByteArrayView response)>;
bool FetchStoredTest(int k, TestRecord& record, const BlockProgress& progress = {},
                     int* failedBlock = nullptr);
