#pragma once
// The one door from the Qt layer into the application. Qt's event loop is not
// exception-safe, so every callback (window procedure, dialog events, tree and
// splitter events) runs here and a failure that escapes it goes to the
// program-wide report instead of unwinding through Qt.

#include <functional>
#include <new>
#include <utility>

#include "runtime/failure.h"

namespace vtome::platform::qt {

class CallGuard {
public:
    void setHandler(std::function<void(const RuntimeFailure&)> handler) { handler_ = std::move(handler); }

    template <typename Call>
    void run(Call&& call) noexcept {
        if (suspended_ > 0) return;
        try {
            std::forward<Call>(call)();
        } catch (const RuntimeFailure& failure) {
            report(failure);
        } catch (const std::bad_alloc&) {
            report(RuntimeFailure(FailureCode::MemoryAllocationFailure));
        } catch (...) {
            // Anything else is a fault in the program itself: report it as
            // a crash is reported rather than let it end the process without
            // a word.
            report(RuntimeFailure(FailureCode::MemoryAccessViolation));
        }
    }

    // While widgets are torn down they may still emit signals; the
    // application objects they would reach may already be gone.
    class Suspension {
    public:
        explicit Suspension(CallGuard& guard) : guard_(guard) { ++guard_.suspended_; }
        ~Suspension() { --guard_.suspended_; }
        Suspension(const Suspension&) = delete;
        Suspension& operator=(const Suspension&) = delete;

    private:
        CallGuard& guard_;
    };

private:
    void report(const RuntimeFailure& failure) noexcept;

    std::function<void(const RuntimeFailure&)> handler_;
    int suspended_ = 0;
};

}  // namespace vtome::platform::qt
