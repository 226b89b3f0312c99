// Stop requests on POSIX: SIGINT, SIGTERM and SIGHUP raise the flag for the guard's lifetime,
// and SIGPIPE is ignored.
#include "Interrupt.h"

#include <csignal>
#include <iterator>

#include "InterruptFlag.h"

namespace stepctl::cli {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_previous[4]{};  // the three above, then SIGPIPE

extern "C" void onStopSignal(int signal) {
    detail::g_stopCause.store(signal == SIGTERM  ? detail::kTerminate
                              : signal == SIGHUP ? detail::kHangUp
                                                 : detail::kCtrlC);
}

}  // namespace

InterruptGuard::InterruptGuard() {
    detail::g_stopCause.store(detail::kNoStop);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &action, &g_previous[i]);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &g_previous[3]);
}

InterruptGuard::~InterruptGuard() {
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
        sigaction(kStopSignals[i], &g_previous[i], nullptr);
    sigaction(SIGPIPE, &g_previous[3], nullptr);
}

}  // namespace stepctl::cli
