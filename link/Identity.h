#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// "Aulex" for 1, "Borvin" for 2, empty for any other code.
QString BrandText(int brand);
// 1 when the USB device string holds "K4N7", else 2 for "qmzt", else 0.
int BrandFromProductString(QByteArrayView text);
// The brand code the tester answers to CMD_IDENTIFY, as it is (0..255).
int BrandFromIdentify(QByteArrayView response);
