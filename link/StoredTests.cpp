#include "StoredTests.h"

#include "Requests.h"
#include "UCommUnit.h"

bool ReadStoredCount(int& count) {
    QByteArray response(kRequestBufferSize, '\0');
    if (!Transact(HistoryCountRequest(), response))
        return false;
    count = *ResponseByte1(response);
    return true;
}

bool ReadStoredEntry(int k, HistoryEntry& entry) {
    QByteArray response(kRequestBufferSize, '\0');
    if (!Transact(HistoryEntryRequest(quint8(k)), response))
        return false;
    entry = *DecodeHistoryEntry(response);
    return true;
}

bool FetchStoredTest(int k, TestRecord& record, const BlockProgress& progress, int* failedBlock) {
    for (int block = 0; block <= 3; ++block) {
        QByteArray response(kBlockBufferSize, '\0');
        const bool ok = Transact(HistoryBlockRequest(quint8(k), quint8(block)), response) &&
                        (block == 0 ? StoreHistoryHeader(response, record)
                                    : StoreHistoryPhase(block, response, record));
        if (!ok) {
            if (failedBlock)
                *failedBlock = block;
            return false;
        }
        if (progress)
            progress(block, response);
    }
    return true;
}
