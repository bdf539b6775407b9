#include "Requests.h"

namespace {

DeviceRequest Request(quint8 command, quint32 writeLength, quint32 responseLength) {
    DeviceRequest request;
    request.bytes = QByteArray(kRequestBufferSize, '\0');
    request.bytes[0] = char(command);
    request.writeLength = writeLength;
    request.responseLength = responseLength;
    return request;
}

} // namespace

quint8 FilterCode(int sampleLength) {
    switch (sampleLength) {
    case 1:
        return 5;
    case 2:
        return 10;
    case 3:
        return 20;
    default:
        return 0;
    }
}

quint8 ChargeByte(int chargeTime, int seriesType) {
    quint8 value = quint8((chargeTime * 5) & 0x7F);
    if (seriesType == 1)
        value |= 0x80;
    return value;
}

// Identification runs only over the serial line; one byte if ever sent by USB.
DeviceRequest IdentifyRequest() {
    return Request(CMD_IDENTIFY, 1, kShortResponseLength);
}

DeviceRequest HistoryCountRequest() {
    return Request(CMD_HISTORY_COUNT, 1, kShortResponseLength);
}

DeviceRequest HistoryEntryRequest(quint8 k) {
    DeviceRequest request = Request(CMD_HISTORY_ENTRY, 2, kHistoryEntryLength);
    request.bytes[1] = char(k);
    return request;
}

DeviceRequest HistoryBlockRequest(quint8 k, quint8 block) {
    DeviceRequest request =
        Request(CMD_HISTORY_BLOCK, 3, block == 0 ? kHistoryHeaderLength : kHistoryPhaseLength);
    request.bytes[1] = char(k);
    request.bytes[2] = char(block);
    return request;
}

DeviceRequest SetParamsRequest(const TestParams& params, int seriesType) {
    DeviceRequest request = Request(CMD_SET_PARAMS, 8, kShortResponseLength);
    request.bytes[1] = char(params.iSwitchType);
    request.bytes[2] = char(params.iTestMode);
    request.bytes[3] = char(params.iTestStep);
    request.bytes[4] = char(params.iSampleBurst & 0xFF);
    request.bytes[5] = char(params.iSamplePoint & 0xFF);
    request.bytes[6] = char(FilterCode(params.iSampleLength));
    request.bytes[7] = char(ChargeByte(params.iChargeTime, seriesType));
    return request;
}

DeviceRequest StartChargeRequest() {
    return Request(CMD_START_CHARGE, 1, kShortResponseLength);
}

DeviceRequest ChargeStatusRequest() {
    return Request(CMD_CHARGE_STATUS, 1, kChargeStatusLength);
}

DeviceRequest ArmTriggerRequest() {
    return Request(CMD_ARM_TRIGGER, 1, kShortResponseLength);
}

DeviceRequest PollTriggerRequest() {
    return Request(CMD_POLL_TRIGGER, 1, kShortResponseLength);
}

DeviceRequest StopRequest() {
    return Request(CMD_STOP, 1, kShortResponseLength);
}

DeviceRequest UploadBlockRequest(quint8 block) {
    DeviceRequest request =
        Request(CMD_UPLOAD_BLOCK, 2, block == 4 ? kUploadRotationLength : kUploadPhaseLength);
    request.bytes[1] = char(block);
    return request;
}
