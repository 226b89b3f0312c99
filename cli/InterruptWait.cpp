// The waiting half of the guard, the same on every platform.
#include <algorithm>
#include <thread>

#include "Interrupt.h"
#include "InterruptFlag.h"

namespace stepctl::cli {

bool InterruptGuard::requested() const {
    return detail::g_stopCause.load() != detail::kNoStop;
}

std::string_view InterruptGuard::cause() const {
    switch (detail::g_stopCause.load()) {
        case detail::kTerminate:
            return "SIGTERM";
        case detail::kHangUp:
            return "SIGHUP";
        default:
            return "Ctrl-C";
    }
}

bool InterruptGuard::wait(std::chrono::milliseconds duration) const {
    return waitUntil(std::chrono::steady_clock::now() + duration);
}

bool InterruptGuard::waitUntil(std::chrono::steady_clock::time_point deadline) const {
    using Clock = std::chrono::steady_clock;
    // Short slices: the sleep itself resumes after a signal, so the flag is looked at often.
    // Each slice ends on the deadline itself, so no slice's overshoot adds to the next.
    constexpr auto kSlice = std::chrono::milliseconds(10);
    while (!requested()) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return true;
        std::this_thread::sleep_until(std::min<Clock::time_point>(deadline, now + kSlice));
    }
    return false;
}

}  // namespace stepctl::cli
