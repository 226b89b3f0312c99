// The waiting half of the guard, the same on every platform.
#include <algorithm>
#include <thread>

#include "Interrupt.h"
#include "InterruptFlag.h"

namespace stepctl::cli {

bool InterruptGuard::requested() const {
    return detail::g_interrupted.load();
}

bool InterruptGuard::wait(std::chrono::milliseconds duration) const {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + duration;
    // Short slices: the sleep itself resumes after a signal, so the flag is looked at often.
    constexpr auto kSlice = std::chrono::milliseconds(10);
    while (!requested()) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return true;
        std::this_thread::sleep_for(std::min<Clock::duration>(left, kSlice));
    }
    return false;
}

}  // namespace stepctl::cli
