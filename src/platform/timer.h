#pragma once
// A one-shot timer on the thread of the user interface: what lets the
// application wait for a pause in the user's typing without blocking it.

#include <chrono>

namespace vtome::platform {

class TimerEvents {
public:
    virtual ~TimerEvents() = default;
    // The delay has passed; runs from the message loop, like any event.
    virtual void onTimer() = 0;
};

class Timer {
public:
    virtual ~Timer() = default;
    // Fires once, `delay` from now; starting a running timer starts it over.
    virtual void start(std::chrono::milliseconds delay) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

}  // namespace vtome::platform
