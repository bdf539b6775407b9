#pragma once

#include "Message.h"
#include "SerialFront.h"
#include "Settings.h"
#include "Tester.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// The simulated tester at 256000 bit/s on a pseudo-terminal, the link
// pointed at it, and the message boxes captured while it lives.
class SimTester {
public:
    // Once a request starting with `cutAfter` arrived, every later open of
    // the port fails, as if the tester had been unplugged.
    explicit SimTester(SimConfig config = {}, QByteArray cutAfter = {});
    ~SimTester();

    // The first `bytes` bytes of each request, "F3 02 01".
    QStringList Requests(int bytes = 2) const;
    QList<LoggedRequest> Log() const { return front_->Requests(); }
    const SimConfig& Config() const { return config_; }
    // The link to it, as a window or a command would hold it.
    Tester& Link() { return link_; }

    QStringList messages;
    QList<MsgIcon> icons;

private:
    SimConfig config_;
    QTemporaryDir folder_;
    std::unique_ptr<SerialFront> front_;
    SystemSettings saved_;
    Tester link_;
};

SimConfig WithFault(const char* fault, int pollsBeforeReady = 3);

// Runs `act` on the modal dialog of type D as soon as one is up.
template <class D> void OnModal(std::function<void(D&)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            timer->deleteLater();
            timer->stop();
            act(*dialog);
        }
    });
    timer->start(5);
}

// The visible top-level window of type W, or null.
template <class W> W* FindWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<W*>(widget); window && window->isVisible())
            return window;
    return nullptr;
}

// Deletes what closed windows left for later.
void FlushDeletes();
