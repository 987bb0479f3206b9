#pragma once
// A one-shot timer of the user interface's thread: a QTimer whose timeout
// reaches the application through the call guard.

#include <QTimer>

#include "platform/qt/call_guard.h"
#include "platform/timer.h"

namespace vtome::platform::qt {

class QtTimer final : public Timer {
public:
    QtTimer(TimerEvents& events, CallGuard& guard);

    void start(std::chrono::milliseconds delay) override { timer_.start(delay); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

}  // namespace vtome::platform::qt
