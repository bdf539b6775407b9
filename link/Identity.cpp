#include "Identity.h"

QString BrandText(int brand) {
    switch (brand) {
    case 1:
        return QStringLiteral("Aulex");
    case 2:
        return QStringLiteral("Borvin");
    default:
        return {};
    }
}

int BrandFromProductString(QByteArrayView text) {
    if (text.contains("K4N7"))
        return 1;
    if (text.contains("qmzt"))
        return 2;
    return 0;
}

int BrandFromIdentify(QByteArrayView response) {
    return response.size() < 2 ? 0 : quint8(response[1]);
}
