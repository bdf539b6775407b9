#pragma once

#include "ExportResult.h"
#include "TestRecord.h"

#include <QByteArray>
#include <QString>

// The samples of the three phases for other tools: UTF-8, a header
// "index,time_ms,A_ohm,B_ohm,C_ohm", then one line per sample with the
// time in ms (one decimal) and the values in ohm (two decimals).
QByteArray WaveformCsv(const TestRecord& record);

// Written through a temporary file: on failure nothing at `path` changes.
ExportResult WriteWaveformCsv(const TestRecord& record, const QString& path);
