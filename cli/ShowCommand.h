#pragma once

#include "Analysis.h"
#include "Json.h"
#include "ShownOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

struct ShowOptions {
    bool json = false;
    bool judge = false; // --judge: the test's verdict by the rules that need no campaign
    QString profile;    // --profile FILE
    QString baseline;   // --baseline FILE.cty
    ShownOptions shown; // --marker
    QStringList files;
};

// Parses the arguments after "show"; the error text when they are wrong.
std::optional<QString> ParseShowArgs(const QStringList& args, ShowOptions& options);

// With `found` (--auto-markers), which phases' markers were found; the JSON
// also says how clearly (`quality`, the finder's; null where none was found).
QByteArray ShowText(const QString& path, const TestRecord& record, const TransitionMarkers& markers,
                    const std::array<bool, 3>* found = nullptr);
QByteArray ShowJson(const QString& path, const TestRecord& record, const TransitionMarkers& markers,
                    int depth, const std::array<bool, 3>* found = nullptr,
                    const std::array<double, 3>* quality = nullptr, const JsonMembers& extra = {});

// Exit code 0, or 2 when an option or any of the files was bad (the other
// files are still shown). Names are printed as PrintedName prints them on
// streams that are terminals or not.
int RunShow(const QStringList& args, QByteArray& out, QByteArray& err, bool outTerminal = false,
            bool errTerminal = false);

QByteArray ShowUsage();
