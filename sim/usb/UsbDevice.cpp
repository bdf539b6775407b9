#include "UsbDevice.h"

#include "CommandCodes.h"
#include "SiUSBXp.h"
#include "SimFrames.h"

#include <QDateTime>
#include <algorithm>
#include <cstring>

namespace {
// However long the caller asks to wait (0xFFFFFFFF stands for ever), a read
// returns within this time.
constexpr quint32 kLongestWaitMs = 60000;
} // namespace

UsbDevice::UsbDevice() : engine_(std::make_unique<SimEngine>(config_)) {}

void UsbDevice::Configure(const SimConfig& config) {
    std::lock_guard lock(mutex_);
    config_ = config;
    engine_ = std::make_unique<SimEngine>(config_);
    log_.Clear();
    open_ = false;
    input_.clear();
    output_.clear();
    readTimeout_ = writeTimeout_ = 1000;
    arrived_.notify_all();
}

int UsbDevice::DeviceCount() const {
    std::lock_guard lock(mutex_);
    return config_.usbDevices;
}

int UsbDevice::ProductString(quint32 device, quint32 flags, QByteArray& text) const {
    std::lock_guard lock(mutex_);
    if (device >= quint32(config_.usbDevices))
        return SI_DEVICE_NOT_FOUND;
    switch (flags) {
    case SI_RETURN_SERIAL_NUMBER: // what the program asks for; it carries the brand marker
    case SI_RETURN_DESCRIPTION:
        text = config_.UsbProductString();
        return SI_SUCCESS;
    case SI_RETURN_LINK_NAME:
        text = "oltc-sim-usb-" + QByteArray::number(device);
        return SI_SUCCESS;
    case SI_RETURN_VID:
        text = "10C4";
        return SI_SUCCESS;
    case SI_RETURN_PID:
        text = "EA61";
        return SI_SUCCESS;
    default:
        return SI_INVALID_PARAMETER;
    }
}

int UsbDevice::Open(quint32 device, void** handle) {
    if (!handle)
        return SI_INVALID_PARAMETER;
    std::lock_guard lock(mutex_);
    *handle = reinterpret_cast<void*>(~quintptr(0));
    if (device >= quint32(config_.usbDevices))
        return SI_DEVICE_NOT_FOUND;
    if (open_)
        return SI_DEVICE_IO_FAILED; // one user at a time, as with the driver
    open_ = true;
    input_.clear();
    output_.clear();
    *handle = &token_;
    return SI_SUCCESS;
}

int UsbDevice::Close(void* handle) {
    std::lock_guard lock(mutex_);
    if (!Valid(handle))
        return SI_INVALID_HANDLE;
    // Whatever the device had not delivered goes with the handle.
    open_ = false;
    input_.clear();
    output_.clear();
    arrived_.notify_all();
    return SI_SUCCESS;
}

int UsbDevice::Write(void* handle, const char* data, quint32 size, quint32* written) {
    if (!data || !written)
        return SI_INVALID_PARAMETER;
    std::lock_guard lock(mutex_);
    *written = 0;
    if (!Valid(handle))
        return SI_INVALID_HANDLE;
    if (size == 0 || size > SI_MAX_WRITE_SIZE)
        return SI_INVALID_REQUEST_LENGTH;
    input_.append(data, qsizetype(size));
    *written = size;
    FrameInput();
    return SI_SUCCESS;
}

void UsbDevice::FrameInput() {
    for (;;) {
        qsizetype junk = 0;
        while (junk < input_.size() && !IsDeviceCommand(quint8(input_[junk])))
            ++junk;
        input_.remove(0, junk);
        if (input_.isEmpty())
            return;
        const int length = UsbRequestLength(quint8(input_[0]));
        if (input_.size() < length)
            return; // the rest of the request is still to come
        const QByteArray request = input_.left(length);
        input_.remove(0, length);

        const SimReply reply = engine_->Reply(request, true);
        log_.Add({QDateTime::currentMSecsSinceEpoch(), request, reply.note});
        const Clock::time_point readyAt = Clock::now() + std::chrono::milliseconds(reply.delayMs);
        // Garbage is a transfer of its own, so a read sees it apart from the answer.
        if (!reply.garbage.isEmpty())
            output_.push_back({reply.garbage, readyAt});
        for (int copy = 0; copy < reply.copies && !reply.bytes.isEmpty(); ++copy)
            output_.push_back({reply.bytes, readyAt});
        arrived_.notify_all();
    }
}

int UsbDevice::Read(void* handle, char* data, quint32 size, quint32* got) {
    if (!data || !got)
        return SI_INVALID_PARAMETER;
    std::unique_lock lock(mutex_);
    *got = 0;
    if (!Valid(handle))
        return SI_INVALID_HANDLE;
    if (size == 0 || size > SI_MAX_READ_SIZE)
        return SI_INVALID_REQUEST_LENGTH;
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(std::min(readTimeout_, kLongestWaitMs));
    for (;;) {
        if (!Valid(handle))
            return SI_INVALID_HANDLE;
        const auto now = Clock::now();
        if (!output_.empty() && output_.front().readyAt <= now)
            break;
        if (now >= deadline)
            return SI_READ_TIMED_OUT;
        const auto wake = output_.empty() ? deadline : std::min(deadline, output_.front().readyAt);
        arrived_.wait_until(lock, wake);
    }
    Transfer& front = output_.front();
    const quint32 n = std::min<quint32>(size, quint32(front.bytes.size()));
    std::memcpy(data, front.bytes.constData(), n);
    front.bytes.remove(0, n);
    if (front.bytes.isEmpty())
        output_.pop_front();
    *got = n;
    return SI_SUCCESS;
}

quint32 UsbDevice::ReadyBytes() const {
    const auto now = Clock::now();
    quint32 count = 0;
    for (const Transfer& t : output_)
        if (t.readyAt <= now)
            count += quint32(t.bytes.size());
    return count;
}

int UsbDevice::CheckQueue(void* handle, quint32* count, quint32* status) {
    if (!count || !status)
        return SI_INVALID_PARAMETER;
    std::lock_guard lock(mutex_);
    if (!Valid(handle))
        return SI_INVALID_HANDLE;
    *count = ReadyBytes();
    *status = *count > 0 ? SI_RX_READY : SI_RX_EMPTY;
    return SI_SUCCESS;
}

void UsbDevice::SetTimeouts(quint32 readMs, quint32 writeMs) {
    std::lock_guard lock(mutex_);
    readTimeout_ = readMs;
    writeTimeout_ = writeMs;
}

void UsbDevice::GetTimeouts(quint32* readMs, quint32* writeMs) const {
    std::lock_guard lock(mutex_);
    *readMs = readTimeout_;
    *writeMs = writeTimeout_;
}
