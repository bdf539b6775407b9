#pragma once

#include "Responses.h"
#include "TestRecord.h"

#include <functional>

// Stored tests that are listed and fetched at most.
inline constexpr int kMaxStoredTests = 100;

// The tester's stored-test count (0..255) by CMD_HISTORY_COUNT.
bool ReadStoredCount(int& count);
// Entry k (1-based): tap step and time.
bool ReadStoredEntry(int k, HistoryEntry& entry);

// Uploads stored test k as the history browser does: header, then phases A,
// B, C, each stored into `record` as it arrives. `progress` hears each block
// number 0..3 once it is stored. On failure `failedBlock` tells which block
// did not arrive; what came before stays in `record`.
bool FetchStoredTest(int k, TestRecord& record, const std::function<void(int)>& progress = {},
                     int* failedBlock = nullptr);
