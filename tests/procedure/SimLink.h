#pragma once

#include "PortNames.h"
#include "SerialFront.h"
#include "SimFault.h"
#include "Tester.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// The simulated tester on a pseudo-terminal at 256000 bit/s and a Tester
// that talks to it.
class SimLink {
public:
    explicit SimLink(SimConfig config, const QStringList& faults = {}) {
        constexpr int kPort = 3, kFast = 13;
        config.baudIndex = kFast;
        for (const QString& fault : faults)
            config.faults << *ParseFault(fault);
        front_ = std::make_unique<SerialFront>(config);
        QString error;
        EXPECT_TRUE(folder_.isValid() && front_->Start(folder_.path(), kPort, &error))
            << error.toStdString();
        SetPortsFolder(folder_.filePath("ports"));
        tester = Tester(CommSettings{1, kPort, kFast});
    }
    ~SimLink() {
        front_->Stop();
        SetPortsFolder({});
    }
    // The command bytes that went over the wire, "F4 F5 ...".
    QString Commands() const {
        QStringList commands;
        for (const LoggedRequest& r : front_->Requests())
            commands << r.HexText().left(2);
        return commands.join(u' ');
    }

    Tester tester;

private:
    QTemporaryDir folder_;
    std::unique_ptr<SerialFront> front_;
};
