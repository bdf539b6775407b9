#pragma once

#include "ShownTest.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

// What the window would show beside a test file: the options that report
// and export share with show.
struct ShownOptions {
    std::array<std::optional<std::array<int, 4>>, 3> markers; // --marker, A B C
    bool inverted = false;                                    // --inverted
    std::optional<ChartColor> color;                          // --color R,G,B
    int brand = 0;                                            // --brand 0|1|2
    bool autoMarkers = false;                                 // --auto-markers
    bool force = false; // --force: files of any name are read as tests
};

// Which of the options a command takes.
enum ShownOptionSet : unsigned {
    kMarkerOption = 1,
    kInvertedOption = 2,
    kColorOption = 4,
    kBrandOption = 8,
    kAutoMarkersOption = 16,
    kForceOption = 32,
};

enum class OptionParse { NotMine, Taken, Bad };

// Takes the option at args[i] (and its value, advancing i) when it is one
// of `accepted`; Bad with the reason in `error` when its value is wrong.
OptionParse ParseShownOption(const QStringList& args, qsizetype& i, unsigned accepted,
                             ShownOptions& options, QString& error);

// The markers for a test: where a redraw puts them, or with --auto-markers
// where the waveforms' edges are (on drawn phases that hold a transition;
// `found` says which, `quality` how clearly, 0 where none), unless set by
// --marker.
TransitionMarkers MarkersFor(const ShownOptions& options, const TestRecord& record,
                             std::array<bool, 3>* found = nullptr,
                             std::array<double, 3>* quality = nullptr);

// The window's view of a test file read into `record`, shown as displayed, with
// the chart colour of --color or else `settingsColor`.
ShownTest ShownFromFile(const TestRecord& record, const ShownOptions& options,
                        ChartColor settingsColor);

// Reads a test file for a command: empty, or the reason it could not be
// read ("no such file", "shorter than 32356 bytes (...)", a name that does
// not end in .cty unless `force`).
QString ReadTestFor(const QString& path, TestRecord& record, bool force = false);

// Why `output` must not be written: its extension is none of `extensions`
// (the message lists them), or it is one of `inputs` (the same file, also
// through a link, a hard link or another spelling). Empty when it may.
QString OutputRefusal(const QString& output, const QStringList& inputs,
                      const QStringList& extensions);

// A command's own options: takes the option at args[i] (and its value,
// advancing i) as ParseShownOption does.
using OwnOptions =
    std::function<OptionParse(const QStringList& args, qsizetype& i, QString& error)>;

// The arguments of a command on test files: the files (every argument after
// "--", and "-"), the shown options of `accepted`, and what `own` takes. The
// error text for a bad value or an unknown option.
std::optional<QString> ParseFileCommandArgs(const QStringList& args, unsigned accepted,
                                            ShownOptions& shown, QStringList& files,
                                            const OwnOptions& own);

// Takes the value of the option at args[i] into `target`.
OptionParse TakeValue(const QStringList& args, qsizetype& i, QString& target, QString& error);

// The chart colour of the settings file beside the program.
ChartColor SettingsChartColor();

// The help lines of the options in `accepted`.
QByteArray ShownOptionsUsage(unsigned accepted);
