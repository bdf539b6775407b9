#pragma once

#include "Analysis.h"

#include <QString>
#include <array>

// The texts of the parameter panel as the main window shows them.
struct PanelTexts {
    QString switchType;  // cbSwitchType
    QString testMode;    // cbTestMode
    QString testStep;    // cbTestStep
    QString sampleBurst; // EdtSampleBurst, in ohm, no unit
    QString samplePoint; // EdtSamplePoint, in samples
    QString sampleTime;  // EdtSampleTime, in ms
    QString user;        // EdtUser
    QString addr;        // EdtAddr
    QString memoTime;    // MemoTime, the test time "yyyy-mm-dd hh:nn:ss"

    bool operator==(const PanelTexts&) const = default;
};

struct ChartColor {
    int r = 192, g = 192, b = 192;

    bool operator==(const ChartColor&) const = default;
};

// Everything a report or an export copies from the main window at the
// moment it is asked for: the texts exactly as shown, and what the chart
// draws. The window fills it from its controls, the command line from a file.
struct ShownTest {
    PanelTexts panel;
    // In the order of ResultBoxTexts: A T1 T2 T3 T R1 R2, B, C, then EdtDT1
    // EdtDT2 EdtDT3 EdtDT EdtDR1 EdtDR2 EdtLoop EdtAngle.
    std::array<QString, 26> boxes;
    TestRecord record;         // the samples the chart draws
    TransitionMarkers markers; // as read back from the chart
    bool inverted = false;     // cbInverted checked
    ChartColor color;          // the chart's background
    int brand = 0;             // 0 none, 1 Aulex, 2 Borvin
    // What the archive says the test is of, when it says it.
    QString device; // the device under test
    QString report; // the report number

    bool operator==(const ShownTest&) const = default;
};

// Indices into ShownTest::boxes.
enum ShownBox : int {
    kBoxAT1 = 0, // phase p's box i is 6 * p + i, i = T1 T2 T3 T R1 R2
    kBoxDT1 = 18,
    kBoxDT2 = 19,
    kBoxDT3 = 20,
    kBoxDT = 21,
    kBoxDR1 = 22,
    kBoxDR2 = 23,
    kBoxLoop = 24,
    kBoxAngle = 25,
};

// The panel texts the window shows after it has filled its panel from this
// record; a list index outside its list shows no item (empty text).
PanelTexts PanelTextsOf(const TestRecord& record);

// What the window shows with this record displayed and these markers: the
// result boxes computed from them, or all empty when the record holds no
// test (HasData false).
ShownTest ShownTestOf(const TestRecord& record, const TransitionMarkers& markers, bool inverted,
                      ChartColor color, int brand);
