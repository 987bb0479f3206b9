#include "platform/qt/call_guard.h"

#include <cstdio>
#include <cstdlib>

namespace vtome::platform::qt {

void CallGuard::report(const RuntimeFailure& failure) noexcept {
    if (handler_) {
        try {
            handler_(failure);
            return;
        } catch (...) {
            // The report itself failed: fall through to the last resort.
        }
    }
    // No report installed (or it broke): still end with the failure's number.
    std::fprintf(stderr, "vTome Exception (%s): %s\n", formatFailureNumber(failure.number()).c_str(), failure.what());
    std::fflush(nullptr);
    std::_Exit(failure.number());
}

}  // namespace vtome::platform::qt
