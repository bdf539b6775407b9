#include "IdentifyTester.h"

#include "Identity.h"
#include "Requests.h"
#include "SiBridge.h"
#include "UsbPort.h"

std::optional<TesterIdentity> IdentifyTester(Tester& tester) {
    TesterIdentity identity;
    if (tester.OverUsb()) {
        QByteArray text;
        if (!UsbProductString(BridgeApi(), text))
            return std::nullopt;
        identity.code = identity.brand = BrandFromProductString(text);
        identity.text = QString::fromLocal8Bit(text);
        return identity;
    }
    const DeviceRequest request = IdentifyRequest();
    QByteArray response(kRequestBufferSize, '\0');
    if (!tester.SerialExchange(request.bytes, response, request.responseLength, kSerialFrameSize))
        return std::nullopt;
    identity.code = BrandFromIdentify(response);
    identity.brand = identity.code == 1 || identity.code == 2 ? identity.code : 0;
    identity.text = BrandText(identity.code);
    return identity;
}
