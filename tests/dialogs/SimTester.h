#pragma once

#include "Message.h"
#include "SerialFront.h"
#include "Settings.h"

#include <QApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline constexpr int kSimPort = 9;
inline constexpr int kFastBaudIndex = 13; // 256000 bit/s

// The simulated tester on a pseudo-terminal, with the link pointed at it.
class SimTester {
public:
    // `cutAfter`: once a request starting with these bytes arrived, the port
    // disappears and every later open fails (the tester was unplugged).
    explicit SimTester(SimConfig config = {}, QByteArray cutAfter = {});
    ~SimTester();

    bool Started() const { return started_; }
    const SimConfig& Config() const { return config_; }
    // The first `bytes` bytes of each request, "F3 02 01".
    QStringList Requests(int bytes = 2) const;
    QList<LoggedRequest> Log() const { return front_->Requests(); }

private:
    SimConfig config_;
    QTemporaryDir folder_;
    std::unique_ptr<SerialFront> front_;
    SystemSettings saved_;
    bool started_ = false;
};

// Message boxes captured while a test runs.
class DialogTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    QStringList Messages() const;

    std::vector<std::pair<QString, MsgIcon>> messages;
};

// Runs `act` on the modal dialog of type D as soon as one is up.
template <class D> void OnModal(std::function<void(D&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(*dialog);
        }
    });
    timer->start();
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
