#include "SimTester.h"

#include "PortNames.h"
#include "UDataCenter.h"

#include <QFile>
#include <unistd.h>

SimTester::SimTester(SimConfig config, QByteArray cutAfter) : config_(std::move(config)) {
    constexpr int kPort = 9, kFast = 13;
    config_.baudIndex = kFast;
    front_ = std::make_unique<SerialFront>(config_);
    const QString ports = folder_.path() + "/ports";
    if (!cutAfter.isEmpty()) {
        const QByteArray link = QFile::encodeName(ports + QString("/COM%1").arg(kPort));
        const QByteArray gone = QFile::encodeName(folder_.path() + "/unplugged");
        front_->SetListener([=](const LoggedRequest& request) {
            if (!request.bytes.startsWith(cutAfter))
                return;
            // A dangling link still names the port, but never opens.
            const QByteArray temp = link + ".new";
            unlink(temp.constData());
            if (symlink(gone.constData(), temp.constData()) == 0)
                rename(temp.constData(), link.constData());
        });
    }
    QString error;
    EXPECT_TRUE(folder_.isValid() && front_->Start(folder_.path(), kPort, &error))
        << error.toStdString();
    saved_ = UDataCenter().settings;
    SetPortsFolder(ports);
    UDataCenter().settings.giCommStyle = 1;
    UDataCenter().settings.giCommPort = kPort;
    UDataCenter().settings.giBaudRate = kFast;
    link_ = Tester(CommSettingsOf(UDataCenter().settings));
    SetMessageSink([this](const QString& text, MsgIcon icon) {
        messages << text;
        icons << icon;
    });
}

SimTester::~SimTester() {
    SetMessageSink({});
    front_->Stop();
    UDataCenter().settings = saved_;
    SetPortsFolder({});
    FlushDeletes();
}

QStringList SimTester::Requests(int bytes) const {
    QStringList out;
    for (const LoggedRequest& request : front_->Requests())
        out << QString::fromLatin1(request.bytes.left(bytes).toHex(' ').toUpper());
    return out;
}

SimConfig WithFault(const char* fault, int pollsBeforeReady) {
    SimConfig config;
    if (fault)
        config.faults << *ParseFault(fault);
    config.pollsBeforeReady = pollsBeforeReady;
    return config;
}

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
