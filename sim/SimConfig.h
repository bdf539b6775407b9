#pragma once

#include "SimCampaign.h"
#include "SimFault.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <optional>

// What the simulated tester is and how it misbehaves.
struct SimConfig {
    quint8 brand = 1;         // answer to the identification
    QByteArray productString; // USB device string; empty: chosen by brand
    int storedTests = 3;      // 0..255
    quint32 seed = 1;         // every value the tester makes up follows from it
    int pollsBeforeReady = 3; // the capture is ready on this trigger poll (0 and 1: the first)
    int baudIndex = 7;        // serial bit rate, by the speed table
    int usbDevices = 1;       // devices the USB double reports
    std::optional<quint16> rotation; // degrees of the live capture; default from the seed
    bool rough = false;              // captures with noise, 1 ms ramps, bounce, ripple and drift
    bool campaign = false;           // the stored tests are the taps of one tap changer
    QList<SimCampaignFault> campaignFaults;
    QList<SimFault> faults;

    // The USB device string: the configured one, else one that carries the
    // brand's marker ("K4N7" brand 1, "qmzt" brand 2), so that both
    // transports name the same brand.
    QByteArray UsbProductString() const;
};

// The serial speed table: 1..13 -> 300 .. 256000; 0 and above 13 -> 57600.
quint32 SimBaudFromIndex(int index);
