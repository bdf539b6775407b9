#include "TestFile.h"

#include "FileTarget.h"
#include "Message.h"
#include "NativeFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>

namespace {

constexpr qsizetype kTimeAt = 16;
constexpr qsizetype kUserAt = 36;
constexpr qsizetype kAddAt = 57;
constexpr qsizetype kWaveAt = kTestFileHeaderSize;
constexpr qsizetype kWaveBytes = kWaveSlots * 4;
constexpr qsizetype kLoopsAt = kWaveAt + 3 * kWaveBytes;
constexpr qsizetype kAngleAt = kLoopsAt + 4;
static_assert(kTestFileSize == 32356 && kAngleAt + 4 == kTestFileSize);

void PutInt(char* at, qint32 value) {
    qToLittleEndian(value, at);
}
qint32 GetInt(const char* at) {
    return qFromLittleEndian<qint32>(at);
}

template <int Capacity> void PutText(char* at, const BoundedText<Capacity>& text) {
    const QByteArray& bytes = text.Bytes();
    at[0] = char(bytes.size());
    std::copy(bytes.begin(), bytes.end(), at + 1);
}

// A length byte above the field's capacity is cut to the capacity.
template <int Capacity> void GetText(const char* at, BoundedText<Capacity>& text) {
    const int length = std::min<int>(quint8(at[0]), Capacity);
    text.Set(QByteArray(at + 1, length));
}

void PutWave(char* at, const Wave& wave) {
    for (qint32 v : wave) {
        PutInt(at, v);
        at += 4;
    }
}

void GetWave(const char* at, Wave& wave) {
    for (qint32& v : wave) {
        v = GetInt(at);
        at += 4;
    }
}

} // namespace

QByteArray EncodeTestFile(const TestRecord& r) {
    QByteArray bytes(kTestFileSize, '\0');
    char* p = bytes.data();
    const TestParams& tp = r.params;
    p[0] = char(tp.iSwitchType);
    p[1] = char(tp.iTestMode);
    p[2] = char(tp.iTestStep);
    p[3] = char(tp.iSampleLength);
    p[4] = char(tp.iChargeTime);
    p[5] = char(tp.iSeriesType);
    PutInt(p + 8, tp.iSampleBurst);
    PutInt(p + 12, tp.iSamplePoint);
    PutText(p + kTimeAt, r.strTestTime);
    PutText(p + kUserAt, r.strTestUser);
    PutText(p + kAddAt, r.strTestAdd);
    PutWave(p + kWaveAt, r.WaveA);
    PutWave(p + kWaveAt + kWaveBytes, r.WaveB);
    PutWave(p + kWaveAt + 2 * kWaveBytes, r.WaveC);
    PutInt(p + kLoopsAt, r.iLoops);
    PutInt(p + kAngleAt, r.iAngle);
    return bytes;
}

bool DecodeTestFile(QByteArrayView bytes, TestRecord& r) {
    if (bytes.size() < kTestFileSize)
        return false;
    const char* p = bytes.data();
    TestParams& tp = r.params;
    tp.iSwitchType = quint8(p[0]);
    tp.iTestMode = quint8(p[1]);
    tp.iTestStep = quint8(p[2]);
    tp.iSampleLength = quint8(p[3]);
    tp.iChargeTime = quint8(p[4]);
    tp.iSeriesType = quint8(p[5]);
    tp.iSampleBurst = GetInt(p + 8);
    tp.iSamplePoint = GetInt(p + 12);
    GetText(p + kTimeAt, r.strTestTime);
    GetText(p + kUserAt, r.strTestUser);
    GetText(p + kAddAt, r.strTestAdd);
    GetWave(p + kWaveAt, r.WaveA);
    GetWave(p + kWaveAt + kWaveBytes, r.WaveB);
    GetWave(p + kWaveAt + 2 * kWaveBytes, r.WaveC);
    r.iLoops = GetInt(p + kLoopsAt);
    r.iAngle = GetInt(p + kAngleAt);
    return true;
}

TestFileError LoadTestFile(const QString& path, TestRecord& record, QString* detail) {
    QFile file;
    QString error;
    switch (OpenToRead(path, file, &error)) {
    case FileKind::Missing:
        return TestFileError::Missing;
    case FileKind::Folder:
    case FileKind::Other:
        return TestFileError::NotAFile;
    case FileKind::Regular:
        break;
    }
    if (!file.isOpen()) {
        if (detail)
            *detail = error;
        return TestFileError::Unreadable;
    }
    QByteArray bytes(kTestFileSize, Qt::Uninitialized);
    qsizetype got = 0;
    while (got < kTestFileSize) {
        const qint64 n = file.read(bytes.data() + got, kTestFileSize - got);
        if (n < 0) {
            if (detail)
                *detail = file.errorString();
            return TestFileError::Unreadable;
        }
        if (n == 0)
            break;
        got += n;
    }
    if (got < kTestFileSize)
        return TestFileError::Short;
    DecodeTestFile(bytes, record);
    return TestFileError::None;
}

bool IsTestFileName(const QString& path) {
    return path.endsWith(QStringLiteral(".cty"), Qt::CaseInsensitive);
}

QString TestFileErrorText(TestFileError error) {
    switch (error) {
    case TestFileError::None:
        return QStringLiteral("no error");
    case TestFileError::Missing:
        return QStringLiteral("no such file");
    case TestFileError::NotAFile:
        return QStringLiteral("not a regular file");
    case TestFileError::Unreadable:
        return QStringLiteral("cannot be read");
    case TestFileError::Short:
        return QStringLiteral("shorter than %1 bytes, not a complete test file").arg(kTestFileSize);
    }
    return {};
}

bool ReadTestFile(const QString& path, TestRecord& record) {
    const TestFileError error = LoadTestFile(path, record);
    if (error == TestFileError::Unreadable)
        ShowMessage(QCoreApplication::translate("TestFile", "读数据文件出错！"),
                    MsgIcon::Information);
    return error == TestFileError::None;
}

bool WriteTestFile(const QString& path, const TestRecord& record, QString* error) {
    return WriteWholeFile(path, EncodeTestFile(record), error);
}
