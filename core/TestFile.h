#pragma once

#include "TestRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A test on disk: the 80-byte header, then the three waveforms of 2689
// slots and the rotation, all little-endian. No magic, no version.
inline constexpr qsizetype kTestFileHeaderSize = 80;
inline constexpr qsizetype kTestFileDataSize = 3 * kWaveSlots * 4 + 2 * 4;
inline constexpr qsizetype kTestFileSize = kTestFileHeaderSize + kTestFileDataSize; // 32356

QByteArray EncodeTestFile(const TestRecord& record);

// Reads the first 32356 bytes into `record` (HasData stays as it is); false,
// and `record` untouched, when there are fewer.
bool DecodeTestFile(QByteArrayView bytes, TestRecord& record);

enum class TestFileError { None, Missing, NotAFile, Unreadable, Short };

// Whether `path` is named as a test file is: it ends in ".cty", in any
// letter case. A test file is known by its name and its size; the open
// dialog offers no other.
bool IsTestFileName(const QString& path);

// Reads a test file into `record` only when the whole file could be read.
// `detail` gets the system's reason for an unreadable file.
TestFileError LoadTestFile(const QString& path, TestRecord& record, QString* detail = nullptr);
QString TestFileErrorText(TestFileError error);

// LoadTestFile, and "读数据文件出错！" when the file could not be read.
bool ReadTestFile(const QString& path, TestRecord& record);

// Writes the whole file beside the target and puts it in place only when it
// is complete, so a failed save leaves the previous file as it was.
bool WriteTestFile(const QString& path, const TestRecord& record, QString* error = nullptr);
