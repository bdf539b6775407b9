// The exported calls of the USB double, over one process-wide device.
#include "SiUSBXp.h"

#include "SimOptions.h"
#include "UsbDevice.h"

#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {
std::mutex errorMutex;
QByteArray lastError;

void SetError(const QByteArray& text) {
    std::lock_guard lock(errorMutex);
    lastError = text;
}

// Applies option text; the device stays as it was when the text is bad.
int ApplyOptions(UsbDevice& device, const QString& text, const char* origin) {
    SimOptions options;
    QString error;
    if (!ParseSimOptionText(text, options, &error)) {
        const QByteArray message = QByteArray(origin) + ": " + error.toUtf8();
        SetError(message);
        std::fprintf(stderr, "SiUSBXp (simulator): %s\n", message.constData());
        return 2;
    }
    SetError({});
    device.Configure(options.config);
    return 0;
}

// Created on first use, from OLTC_SIM_USB when it is set; bad text there
// leaves no device, so the program says it found none.
UsbDevice& Device() {
    static UsbDevice* device = [] {
        auto* d = new UsbDevice;
        if (const char* env = std::getenv("OLTC_SIM_USB")) {
            if (ApplyOptions(*d, QString::fromLocal8Bit(env), "OLTC_SIM_USB") != 0) {
                SimConfig none;
                none.usbDevices = 0;
                d->Configure(none);
            }
        }
        return d;
    }();
    return *device;
}
} // namespace

extern "C" {

SI_STATUS SI_GetNumDevices(LPDWORD lpdwNumDevices) {
    if (!lpdwNumDevices)
        return SI_INVALID_PARAMETER;
    *lpdwNumDevices = DWORD(Device().DeviceCount());
    return *lpdwNumDevices > 0 ? SI_SUCCESS : SI_DEVICE_NOT_FOUND;
}

SI_STATUS SI_GetProductString(DWORD dwDeviceNum, LPVOID lpvDeviceString, DWORD dwFlags) {
    if (!lpvDeviceString)
        return SI_INVALID_PARAMETER;
    QByteArray text;
    const int status = Device().ProductString(dwDeviceNum, dwFlags, text);
    if (status == SI_SUCCESS) {
        text.truncate(SI_MAX_DEVICE_STRLEN - 1);
        std::memcpy(lpvDeviceString, text.constData(), size_t(text.size()) + 1);
    }
    return status;
}

SI_STATUS SI_Open(DWORD dwDevice, HANDLE* cyHandle) {
    return Device().Open(dwDevice, cyHandle);
}

SI_STATUS SI_Close(HANDLE cyHandle) {
    return Device().Close(cyHandle);
}

SI_STATUS SI_Read(HANDLE cyHandle, LPVOID lpBuffer, DWORD dwBytesToRead, LPDWORD lpdwBytesReturned,
                  OVERLAPPED*) {
    return Device().Read(cyHandle, static_cast<char*>(lpBuffer), dwBytesToRead, lpdwBytesReturned);
}

SI_STATUS SI_Write(HANDLE cyHandle, LPVOID lpBuffer, DWORD dwBytesToWrite, LPDWORD lpdwBytesWritten,
                   OVERLAPPED*) {
    return Device().Write(cyHandle, static_cast<const char*>(lpBuffer), dwBytesToWrite,
                          lpdwBytesWritten);
}

SI_STATUS SI_SetTimeouts(DWORD dwReadTimeout, DWORD dwWriteTimeout) {
    Device().SetTimeouts(dwReadTimeout, dwWriteTimeout);
    return SI_SUCCESS;
}

SI_STATUS SI_GetTimeouts(LPDWORD lpdwReadTimeout, LPDWORD lpdwWriteTimeout) {
    if (!lpdwReadTimeout || !lpdwWriteTimeout)
        return SI_INVALID_PARAMETER;
    Device().GetTimeouts(lpdwReadTimeout, lpdwWriteTimeout);
    return SI_SUCCESS;
}

SI_STATUS SI_CheckRXQueue(HANDLE cyHandle, LPDWORD lpdwNumBytesInQueue, LPDWORD lpdwQueueStatus) {
    return Device().CheckQueue(cyHandle, lpdwNumBytesInQueue, lpdwQueueStatus);
}

int SimUsb_Configure(const char* options) {
    if (!options) {
        const char* env = std::getenv("OLTC_SIM_USB");
        return ApplyOptions(Device(), QString::fromLocal8Bit(env ? env : ""), "OLTC_SIM_USB");
    }
    return ApplyOptions(Device(), QString::fromUtf8(options), "options");
}

const char* SimUsb_LastError(void) {
    std::lock_guard lock(errorMutex);
    // Kept until the next failing or succeeding configuration.
    static thread_local QByteArray copy;
    copy = lastError;
    return copy.constData();
}

int SimUsb_RequestLog(char* buffer, int size) {
    QByteArray text;
    for (const LoggedRequest& r : Device().Requests()) {
        text += QByteArray::number(r.atMs) + ' ' + r.HexText().toLatin1();
        if (!r.note.isEmpty())
            text += " | " + r.note.toUtf8();
        text += '\n';
    }
    if (buffer && size > 0) {
        const int n = std::min(int(text.size()), size - 1);
        std::memcpy(buffer, text.constData(), size_t(n));
        buffer[n] = '\0';
    }
    return int(text.size());
}

void SimUsb_ClearRequestLog(void) {
    Device().ClearRequests();
}

} // extern "C"
