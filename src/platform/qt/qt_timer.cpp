#include "platform/qt/qt_timer.h"

namespace vtome::platform::qt {

QtTimer::QtTimer(TimerEvents& events, CallGuard& guard) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [&events, &guard] { guard.run([&] { events.onTimer(); }); });
}

}  // namespace vtome::platform::qt
