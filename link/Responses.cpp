#include "Responses.h"

#include "CommandCodes.h"

namespace {

constexpr int kStampOffset = 3;
constexpr int kNameOffset = 11;
constexpr int kPlaceOffset = 19;
constexpr int kHeaderParamsOffset = 27;
constexpr int kHistorySamplesOffset = 3;
constexpr int kUploadSamplesOffset = 2;

int Byte(QByteArrayView bytes, int at) {
    return quint8(bytes[at]);
}

int Word(QByteArrayView bytes, int at) {
    return Byte(bytes, at) << 8 | Byte(bytes, at + 1);
}

} // namespace

QString StampText(QByteArrayView stamp) {
    if (stamp.size() < kStampSize)
        return {};
    return QString::asprintf("%.2d-%.2d-%.2d %.2d:%.2d:%.2d", Word(stamp, 4), Byte(stamp, 6),
                             Byte(stamp, 7), Byte(stamp, 1), Byte(stamp, 2), Byte(stamp, 3));
}

QString StampFileText(QByteArrayView stamp) {
    if (stamp.size() < kStampSize)
        return {};
    return QString::asprintf("%.2d-%.2d-%.2d %.2d-%.2d-%.2d", Word(stamp, 4) % 100, Byte(stamp, 6),
                             Byte(stamp, 7), Byte(stamp, 1), Byte(stamp, 2), Byte(stamp, 3));
}

QByteArray NameText(QByteArrayView codes) {
    QByteArray text;
    for (const char c : codes.first(std::min<qsizetype>(codes.size(), kNameCodes))) {
        const int v = quint8(c);
        if (v < 10)
            text += char('0' + v);
        else if (v <= 35)
            text += char(55 + v);
        else if (v <= 61)
            text += char(61 + v);
        else if (v == 65)
            text += ' ';
    }
    return text;
}

std::optional<quint8> ResponseByte1(QByteArrayView response) {
    if (response.size() < 2)
        return std::nullopt;
    return quint8(response[1]);
}

bool IsAck(QByteArrayView response) {
    return ResponseByte1(response) == ACK;
}

std::optional<ChargeStatus> DecodeChargeStatus(QByteArrayView response) {
    if (response.size() < 13)
        return std::nullopt;
    ChargeStatus status;
    for (int phase = 0; phase < 3; ++phase) {
        status.millivolts[phase] = quint16(Word(response, 1 + 4 * phase));
        status.milliamps[phase] = quint16(Word(response, 3 + 4 * phase));
    }
    return status;
}

std::optional<HistoryEntry> DecodeHistoryEntry(QByteArrayView response) {
    if (response.size() < kStampOffset + kStampSize)
        return std::nullopt;
    return HistoryEntry{quint8(response[2]), StampText(response.sliced(kStampOffset, kStampSize))};
}

bool StoreHistoryHeader(QByteArrayView response, TestRecord& record) {
    if (response.size() < kHeaderParamsOffset + 6)
        return false;
    record.strTestTime.Set(StampText(response.sliced(kStampOffset, kStampSize)).toLatin1());
    record.strTestUser.Set(NameText(response.sliced(kNameOffset, kNameCodes)));
    record.strTestAdd.Set(NameText(response.sliced(kPlaceOffset, kNameCodes)));
    TestParams& params = record.params;
    params.iSwitchType = quint8(Byte(response, kHeaderParamsOffset));
    params.iTestMode = quint8(Byte(response, kHeaderParamsOffset + 1));
    params.iTestStep = quint8(Byte(response, kHeaderParamsOffset + 2));
    params.iSampleBurst = Word(response, kHeaderParamsOffset + 3);
    params.iSamplePoint = Byte(response, kHeaderParamsOffset + 5);
    return true;
}

bool StoreHistoryPhase(int block, QByteArrayView response, TestRecord& record) {
    if (block < 1 || block > 3 || response.size() < kHistorySamplesOffset + kPhaseUploadBytes)
        return false;
    return record.StorePhaseUpload(block, response.sliced(kHistorySamplesOffset));
}

bool StoreUploadBlock(int block, QByteArrayView response, TestRecord& record) {
    if (block == 4)
        return response.size() >= kUploadSamplesOffset + kRotationUploadBytes &&
               record.StoreRotation(response.sliced(kUploadSamplesOffset));
    if (block < 1 || block > 3 || response.size() < kUploadSamplesOffset + kPhaseUploadBytes)
        return false;
    return record.StorePhaseUpload(block, response.sliced(kUploadSamplesOffset));
}
