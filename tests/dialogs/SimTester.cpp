#include "SimTester.h"

#include "PortNames.h"
#include "UDataCenter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <unistd.h>

SimTester::SimTester(SimConfig config, QByteArray cutAfter) : config_(std::move(config)) {
    config_.baudIndex = kFastBaudIndex;
    front_ = std::make_unique<SerialFront>(config_);
    const QString ports = folder_.path() + "/ports";
    if (!cutAfter.isEmpty()) {
        const QString link = ports + QString("/COM%1").arg(kSimPort);
        const QString gone = folder_.path() + "/unplugged";
        front_->SetListener([=](const LoggedRequest& request) {
            if (!request.bytes.startsWith(cutAfter))
                return;
            // A dangling link names the port but never opens.
            const QByteArray temp = QFile::encodeName(link + ".new");
            unlink(temp.constData());
            if (symlink(QFile::encodeName(gone).constData(), temp.constData()) == 0)
                rename(temp.constData(), QFile::encodeName(link).constData());
        });
    }
    QString error;
    started_ = folder_.isValid() && front_->Start(folder_.path(), kSimPort, &error);
    EXPECT_TRUE(started_) << error.toStdString();
    saved_ = UDataCenter().settings;
    SetPortsFolder(ports);
    UDataCenter().settings.giCommStyle = 1;
    UDataCenter().settings.giCommPort = kSimPort;
    UDataCenter().settings.giBaudRate = kFastBaudIndex;
}

SimTester::~SimTester() {
    front_->Stop();
    UDataCenter().settings = saved_;
    SetPortsFolder({});
}

QStringList SimTester::Requests(int bytes) const {
    QStringList out;
    for (const LoggedRequest& request : front_->Requests())
        out << QString::fromLatin1(request.bytes.left(bytes).toHex(' ').toUpper());
    return out;
}

void DialogTest::SetUp() {
    SetMessageSink([this](const QString& text, MsgIcon icon) { messages.push_back({text, icon}); });
}

void DialogTest::TearDown() {
    SetMessageSink({});
    FlushDeletes();
}

QStringList DialogTest::Messages() const {
    QStringList out;
    for (const auto& [text, icon] : messages)
        out << text;
    return out;
}

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
