#include "Interrupt.h"

#include <atomic>
#include <thread>

namespace stepctl::cli {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set from a signal handler");

extern "C" void onStopSignal(int signal) {
    g_stopSignal.store(signal);
}

}  // namespace

InterruptGuard::InterruptGuard() {
    g_stopSignal.store(0);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &action, &previous_[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &previous_[3]);
}

InterruptGuard::~InterruptGuard() {
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &previous_[i], nullptr);
    sigaction(SIGPIPE, &previous_[3], nullptr);
}

bool InterruptGuard::requested() const {
    return g_stopSignal.load() != 0;
}

std::string_view InterruptGuard::cause() const {
    switch (g_stopSignal.load()) {
        case SIGTERM:
            return "SIGTERM";
        case SIGHUP:
            return "SIGHUP";
        default:
            return "Ctrl-C";
    }
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
