#pragma once

#include "Responses.h"
#include "TestRecord.h"
#include "Tester.h"

#include <QByteArray>
#include <QByteArrayView>
#include <functional>
#include <optional>

// Stored tests that are listed and fetched at most.
inline constexpr int kMaxStoredTests = 100;

struct StoredCount {
    int held = 0;   // what the tester says it keeps, 0..255
    int listed = 0; // what can be listed and fetched: at most kMaxStoredTests
};

// The tester's stored-test count by CMD_HISTORY_COUNT.
std::optional<StoredCount> ReadStoredCount(Tester& tester);
// Entry k (1-based): tap step and time.
std::optional<HistoryEntry> ReadStoredEntry(Tester& tester, int k);

// The upload of stored test k: the header (block 0), then phases A, B, C,
// each stored into the record once it arrived. Driven a block at a time so
// that whoever drives it can show progress and cancel between blocks; what
// earlier blocks stored stays in the record whatever happens later.
class StoredTestUpload {
public:
    StoredTestUpload(Tester& tester, int k, TestRecord& record);

    // The block asked for next, 0..3; 4 once all are stored.
    int Block() const { return block_; }
    bool Done() const { return block_ > 3 || failed_ || cancelled_; }
    bool Complete() const { return block_ > 3; }
    bool Failed() const { return failed_; }

    // Asks for the next block; false (and Failed) when it did not arrive.
    bool Fetch();
    // Stores the block fetched and moves on to the next.
    void Store();
    // No further block is asked for.
    void Cancel() { cancelled_ = true; }
    // The answer to the last Fetch.
    QByteArrayView Response() const { return response_; }

    // Fetches and stores the remaining blocks; `stored` hears each block
    // with its answer once it is stored. False when a block did not arrive.
    using BlockStored = std::function<void(int block, QByteArrayView response)>;
    bool Run(const BlockStored& stored = {});

private:
    Tester& tester_;
    TestRecord& record_;
    int k_;
    int block_ = 0;
    bool failed_ = false;
    bool cancelled_ = false;
    QByteArray response_;
};
