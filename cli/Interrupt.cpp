#include "Interrupt.h"

#include <atomic>
#include <thread>

namespace stepctl::cli {
namespace {

std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void onInterrupt(int) {
    g_interrupted.store(true);
}

}  // namespace

InterruptGuard::InterruptGuard() {
    g_interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &previous_, nullptr);
}

bool InterruptGuard::requested() const {
    return g_interrupted.load();
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
