#pragma once

#include "SimConfig.h"

#include <QString>
#include <QStringList>

// The option text of oltc-sim, also taken by the USB double.
struct SimOptions {
    SimConfig config;
    int port = 1;
    QString folder;
    bool verbose = false;
    bool help = false;
};

// Parses the arguments (without the program name); on a bad option returns
// false with a message that names it.
bool ParseSimOptions(const QStringList& args, SimOptions& options, QString* error);
// Words apart at blanks; single or double quotes keep blanks in a word.
QStringList SplitOptionText(const QString& text);
// The same from one line of text ("--product 'A B' --stored 5").
bool ParseSimOptionText(const QString& text, SimOptions& options, QString* error);

QString SimUsage();
