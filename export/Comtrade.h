#pragma once

#include "ExportResult.h"
#include "ShownTest.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The waveforms of a test as a COMTRADE record (IEEE C37.111, revision
// year 2013, with only the fields the 1999 revision has too, so readers of
// either take it): three analog channels A, B, C in ohm, where
// value = a * stored + b gives each sample exactly; 10000 samples a second;
// the start and trigger time the test's time. The header file holds what
// the configuration has no place for: the panel, the markers, the results.
enum class ComtradeFormat { Binary, Ascii };

struct ComtradeFiles {
    QByteArray cfg, dat, hdr;
};

// The three files, or nullopt with the reason in `why`: a test time that is
// not a date, or (binary) a channel whose samples span more than the 65535
// values of signed 16 bits without the missing-value mark 0x8000, or
// (ASCII) a sample beyond -99999..99998.
std::optional<ComtradeFiles> ComtradeOf(const ShownTest& shown, ComtradeFormat format,
                                        QString* why = nullptr);

// NAME.cfg, NAME.dat, NAME.hdr for a configuration file name; the data and
// header names take the case of its extension (NAME.CFG gives NAME.DAT).
QStringList ComtradePaths(const QString& cfgPath);

// Writes the three files as one set: on failure nothing at any of the
// names changes.
ExportResult WriteComtrade(const ShownTest& shown, const QString& cfgPath, ComtradeFormat format);
