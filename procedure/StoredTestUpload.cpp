#include "StoredTestUpload.h"

#include "Requests.h"

#include <algorithm>

std::optional<StoredCount> ReadStoredCount(Tester& tester) {
    QByteArray response(kRequestBufferSize, '\0');
    if (!tester.Transact(HistoryCountRequest(), response))
        return std::nullopt;
    const int held = *ResponseByte1(response);
    return StoredCount{held, std::min(held, kMaxStoredTests)};
}

std::optional<HistoryEntry> ReadStoredEntry(Tester& tester, int k) {
    QByteArray response(kRequestBufferSize, '\0');
    if (!tester.Transact(HistoryEntryRequest(quint8(k)), response))
        return std::nullopt;
    return DecodeHistoryEntry(response);
}

StoredTestUpload::StoredTestUpload(Tester& tester, int k, TestRecord& record)
    : tester_(tester), record_(record), k_(k) {}

bool StoredTestUpload::Fetch() {
    if (Done())
        return false;
    response_ = QByteArray(kBlockBufferSize, '\0');
    failed_ = !tester_.Transact(HistoryBlockRequest(quint8(k_), quint8(block_)), response_);
    return !failed_;
}

void StoredTestUpload::Store() {
    if (Done())
        return;
    if (block_ == 0)
        StoreHistoryHeader(response_, record_);
    else
        StoreHistoryPhase(block_, response_, record_);
    ++block_;
}

bool StoredTestUpload::Run(const BlockStored& stored) {
    while (!Done()) {
        const int block = block_;
        if (!Fetch())
            return false;
        Store();
        if (stored)
            stored(block, response_);
    }
    return Complete();
}
