#pragma once

#include <QApplication>
#include <QTimer>
#include <deque>
#include <functional>

// Acts on windows that block the test (modal dialogs, waits) from a timer:
// each step waits until its condition holds, then acts, in order.
class Scripted {
public:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };

    Scripted() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (!steps_.empty() && steps_.front().ready()) {
                const Step step = steps_.front();
                steps_.pop_front();
                step.act();
            }
        });
        timer_.start();
    }
    void Then(std::function<bool()> ready, std::function<void()> act) {
        steps_.push_back({std::move(ready), std::move(act)});
    }
    bool Done() const { return steps_.empty(); }

    // The visible top-level window of a class, or null.
    template <class W> static W* Find() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<W*>(w); found && found->isVisible())
                return found;
        return nullptr;
    }

private:
    QTimer timer_;
    std::deque<Step> steps_;
};
