#include "SimEngine.h"
#include "SimTestUtil.h"
#include "usb/SiUSBXp.h"

#include <QLibrary>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono;

// The double as the program sees it: a library loaded at run time.
struct Double {
    Double() : library(QStringLiteral(SIM_USB_LIBRARY)) {
        if (!library.load())
            return;
        resolve(GetNumDevices, "SI_GetNumDevices");
        resolve(GetProductString, "SI_GetProductString");
        resolve(Open, "SI_Open");
        resolve(Close, "SI_Close");
        resolve(Read, "SI_Read");
        resolve(Write, "SI_Write");
        resolve(SetTimeouts, "SI_SetTimeouts");
        resolve(GetTimeouts, "SI_GetTimeouts");
        resolve(CheckRXQueue, "SI_CheckRXQueue");
        resolve(Configure, "SimUsb_Configure");
        resolve(LastError, "SimUsb_LastError");
        resolve(RequestLog, "SimUsb_RequestLog");
    }
    template <typename F> void resolve(F& f, const char* name) {
        f = reinterpret_cast<F>(library.resolve(name));
        complete = complete && f;
    }
    QByteArray Log() const {
        QByteArray text(RequestLog(nullptr, 0) + 1, '\0');
        RequestLog(text.data(), int(text.size()));
        text.chop(1);
        return text;
    }
    // One request, then reads until `size` bytes or a failed read.
    QByteArray Exchange(HANDLE h, const QByteArray& request, int size) {
        DWORD written = 0;
        QByteArray copy = request;
        if (Write(h, copy.data(), DWORD(copy.size()), &written, nullptr) != SI_SUCCESS)
            return {};
        QByteArray got;
        while (got.size() < size) {
            char buffer[4096];
            DWORD n = 0;
            const DWORD want = DWORD(std::min<qsizetype>(sizeof buffer, size - got.size()));
            if (Read(h, buffer, want, &n, nullptr) != SI_SUCCESS)
                break;
            got.append(buffer, n);
        }
        return got;
    }

    QLibrary library;
    bool complete = true;
    decltype(&SI_GetNumDevices) GetNumDevices = nullptr;
    decltype(&SI_GetProductString) GetProductString = nullptr;
    decltype(&SI_Open) Open = nullptr;
    decltype(&SI_Close) Close = nullptr;
    decltype(&SI_Read) Read = nullptr;
    decltype(&SI_Write) Write = nullptr;
    decltype(&SI_SetTimeouts) SetTimeouts = nullptr;
    decltype(&SI_GetTimeouts) GetTimeouts = nullptr;
    decltype(&SI_CheckRXQueue) CheckRXQueue = nullptr;
    decltype(&SimUsb_Configure) Configure = nullptr;
    decltype(&SimUsb_LastError) LastError = nullptr;
    decltype(&SimUsb_RequestLog) RequestLog = nullptr;
};

class UsbDoubleTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(usb.library.isLoaded()) << qPrintable(usb.library.errorString());
        ASSERT_TRUE(usb.complete);
    }
    HANDLE OpenDevice(const char* options) {
        EXPECT_EQ(usb.Configure(options), 0) << usb.LastError();
        HANDLE h = nullptr;
        EXPECT_EQ(usb.Open(0, &h), SI_SUCCESS);
        return h;
    }
    Double usb;
};

TEST_F(UsbDoubleTest, ReportsItsDeviceAndString) {
    struct Case {
        const char* options;
        int numStatus;
        DWORD count;
        const char* string;
    };
    const Case cases[] = {
        {"", SI_SUCCESS, 1, "OLTC Tester USB K4N7"},
        {"--brand 2", SI_SUCCESS, 1, "OLTC Tester USB qmzt"},
        {"--brand 0 --devices 2", SI_SUCCESS, 2, "OLTC Tester USB"},
        {"--product 'XK4N7-01'", SI_SUCCESS, 1, "XK4N7-01"},
        {"--devices 0", SI_DEVICE_NOT_FOUND, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        ASSERT_EQ(usb.Configure(c.options), 0);
        DWORD count = 99;
        EXPECT_EQ(usb.GetNumDevices(&count), c.numStatus);
        EXPECT_EQ(count, c.count);
        char text[257];
        std::memset(text, 'x', sizeof text);
        if (c.string) {
            ASSERT_EQ(usb.GetProductString(0, text, SI_RETURN_SERIAL_NUMBER), SI_SUCCESS);
            EXPECT_STREQ(text, c.string);
        } else {
            EXPECT_EQ(usb.GetProductString(0, text, 0), SI_DEVICE_NOT_FOUND);
            HANDLE h = nullptr;
            EXPECT_EQ(usb.Open(0, &h), SI_DEVICE_NOT_FOUND);
            EXPECT_EQ(h, reinterpret_cast<HANDLE>(~quintptr(0)));
        }
        EXPECT_EQ(usb.GetProductString(c.count, text, 0), SI_DEVICE_NOT_FOUND);
    }
    // Bad options are refused by name and change nothing.
    ASSERT_EQ(usb.Configure("--brand 2"), 0);
    EXPECT_EQ(usb.Configure("--brand 2 --fault F8:boom"), 2);
    EXPECT_NE(std::string(usb.LastError()).find("F8:boom"), std::string::npos);
    char text[257];
    ASSERT_EQ(usb.GetProductString(0, text, 0), SI_SUCCESS);
    EXPECT_STREQ(text, "OLTC Tester USB qmzt");
}

TEST_F(UsbDoubleTest, AnswersWholeResponsesPaddedTo64) {
    HANDLE h = OpenDevice("--stored 5 --seed 9");
    SimConfig config;
    config.storedTests = 5;
    config.seed = 9;
    SimEngine reference(config);
    // Requests of the command's own length; the double delivers all of each answer.
    const std::pair<QByteArray, int> cases[] = {
        {Bytes({0xF1}), 64},
        {Bytes({0xF2, 3}), 64},
        {Bytes({0xF4, 1, 0, 5, 12, 20, 20, 0}), 64},
        {Bytes({0xF3, 2, 0}), 66},
        {Bytes({0xF3, 2, 1}), 5380},
    };
    for (const auto& [request, size] : cases) {
        DWORD queued = 0, status = 0;
        const QByteArray got = usb.Exchange(h, request, size);
        EXPECT_EQ(got, reference.Respond(request, true)) << request.toHex().constData();
        ASSERT_EQ(usb.CheckRXQueue(h, &queued, &status), SI_SUCCESS);
        EXPECT_EQ(queued, 0u);
        EXPECT_EQ(status, DWORD(SI_RX_EMPTY));
    }
    // A request written in pieces is answered once it is whole.
    DWORD n = 0, queued = 0, status = 0;
    char f2[] = {char(0xF2)}, k[] = {2};
    ASSERT_EQ(usb.Write(h, f2, 1, &n, nullptr), SI_SUCCESS);
    ASSERT_EQ(usb.CheckRXQueue(h, &queued, &status), SI_SUCCESS);
    EXPECT_EQ(queued, 0u);
    ASSERT_EQ(usb.Write(h, k, 1, &n, nullptr), SI_SUCCESS);
    ASSERT_EQ(usb.CheckRXQueue(h, &queued, &status), SI_SUCCESS);
    EXPECT_EQ(queued, 64u);
    EXPECT_EQ(status, DWORD(SI_RX_READY));
    EXPECT_EQ(usb.Close(h), SI_SUCCESS);

    const QByteArray log = usb.Log();
    EXPECT_TRUE(log.contains(" F1 | 5 stored\n")) << log.constData();
    EXPECT_TRUE(log.contains(" F4 01 00 05 0C 14 14 00 | parameters taken\n"));
    EXPECT_EQ(log.count('\n'), 6);
}

TEST_F(UsbDoubleTest, ReadTimesOutAfterTheReadTimeout) {
    HANDLE h = OpenDevice("");
    DWORD readMs = 0, writeMs = 0;
    ASSERT_EQ(usb.GetTimeouts(&readMs, &writeMs), SI_SUCCESS);
    ASSERT_EQ(usb.SetTimeouts(120, 0), SI_SUCCESS);
    char buffer[64];
    DWORD got = 7;
    const auto start = steady_clock::now();
    EXPECT_EQ(usb.Read(h, buffer, 64, &got, nullptr), SI_READ_TIMED_OUT);
    const auto waited = steady_clock::now() - start;
    EXPECT_EQ(got, 0u);
    EXPECT_GE(waited, milliseconds(115));
    EXPECT_LT(waited, milliseconds(400));
    ASSERT_EQ(usb.SetTimeouts(0, 0), SI_SUCCESS);
    EXPECT_EQ(usb.Read(h, buffer, 64, &got, nullptr), SI_READ_TIMED_OUT) << "0: no wait";

    ASSERT_EQ(usb.SetTimeouts(readMs, writeMs), SI_SUCCESS);
    DWORD r = 0, w = 0;
    usb.GetTimeouts(&r, &w);
    EXPECT_EQ(r, readMs);
    EXPECT_EQ(w, writeMs);
    usb.Close(h);
}

TEST_F(UsbDoubleTest, FaultsReachTheReader) {
    HANDLE h = OpenDevice("--fault F1:delay:250 --fault F0:garbage:3 --fault F9:noanswer");
    usb.SetTimeouts(100, 0);
    char buffer[64];
    DWORD n = 0;
    char f1[] = {char(0xF1)}, f0[] = {char(0xF0)}, f9[] = {char(0xF9)};
    ASSERT_EQ(usb.Write(h, f1, 1, &n, nullptr), SI_SUCCESS);
    EXPECT_EQ(usb.Read(h, buffer, 64, &n, nullptr), SI_READ_TIMED_OUT) << "still late";
    usb.SetTimeouts(400, 0);
    EXPECT_EQ(usb.Read(h, buffer, 64, &n, nullptr), SI_SUCCESS);
    EXPECT_EQ(n, 64u);

    // Garbage comes as a transfer of its own, then the answer.
    ASSERT_EQ(usb.Write(h, f0, 1, &n, nullptr), SI_SUCCESS);
    ASSERT_EQ(usb.Read(h, buffer, 64, &n, nullptr), SI_SUCCESS);
    EXPECT_EQ(QByteArray(buffer, int(n)), Bytes({0xA5, 0x00, 0xA5}));
    ASSERT_EQ(usb.Read(h, buffer, 64, &n, nullptr), SI_SUCCESS);
    EXPECT_EQ(n, 64u);
    EXPECT_EQ(QByteArray(buffer, 2), Bytes({0xF0, 0x01}));

    usb.SetTimeouts(50, 0);
    ASSERT_EQ(usb.Write(h, f9, 1, &n, nullptr), SI_SUCCESS);
    EXPECT_EQ(usb.Read(h, buffer, 64, &n, nullptr), SI_READ_TIMED_OUT);
    usb.Close(h);
}

TEST_F(UsbDoubleTest, HandlesBehaveLikeTheDriver) {
    HANDLE h = OpenDevice("");
    HANDLE second = nullptr;
    EXPECT_NE(usb.Open(0, &second), SI_SUCCESS) << "one user at a time";
    DWORD n = 0;
    char f1[] = {char(0xF1)};
    ASSERT_EQ(usb.Write(h, f1, 1, &n, nullptr), SI_SUCCESS);
    ASSERT_EQ(usb.Close(h), SI_SUCCESS);
    EXPECT_EQ(usb.Close(h), SI_INVALID_HANDLE);
    EXPECT_EQ(usb.Write(h, f1, 1, &n, nullptr), SI_INVALID_HANDLE);

    // A pending answer does not outlive the handle.
    h = nullptr;
    ASSERT_EQ(usb.Open(0, &h), SI_SUCCESS);
    usb.SetTimeouts(0, 0);
    char buffer[64];
    EXPECT_EQ(usb.Read(h, buffer, 64, &n, nullptr), SI_READ_TIMED_OUT);
    EXPECT_EQ(usb.Write(h, f1, 0, &n, nullptr), SI_INVALID_REQUEST_LENGTH);
    EXPECT_EQ(usb.Read(h, buffer, 0, &n, nullptr), SI_INVALID_REQUEST_LENGTH);
    EXPECT_EQ(usb.GetNumDevices(nullptr), SI_INVALID_PARAMETER);

    // A read blocked in one thread ends when the answer comes from another.
    usb.SetTimeouts(2000, 0);
    std::thread writer([&] {
        std::this_thread::sleep_for(milliseconds(50));
        DWORD written = 0;
        usb.Write(h, f1, 1, &written, nullptr);
    });
    const auto start = steady_clock::now();
    EXPECT_EQ(usb.Read(h, buffer, 64, &n, nullptr), SI_SUCCESS);
    EXPECT_LT(steady_clock::now() - start, milliseconds(1000));
    writer.join();
    usb.Close(h);
}

TEST_F(UsbDoubleTest, TakesItsOptionsFromTheEnvironment) {
    qputenv("OLTC_SIM_USB", "--devices 0");
    EXPECT_EQ(usb.Configure(nullptr), 0);
    DWORD count = 1;
    EXPECT_EQ(usb.GetNumDevices(&count), SI_DEVICE_NOT_FOUND);
    qputenv("OLTC_SIM_USB", "--devices nine");
    EXPECT_EQ(usb.Configure(nullptr), 2);
    EXPECT_NE(std::string(usb.LastError()).find("OLTC_SIM_USB"), std::string::npos);
    qunsetenv("OLTC_SIM_USB");
    EXPECT_EQ(usb.Configure(nullptr), 0);
    EXPECT_EQ(usb.GetNumDevices(&count), SI_SUCCESS);
}

} // namespace
