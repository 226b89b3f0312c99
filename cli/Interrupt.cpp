// Ctrl-C on POSIX: a SIGINT handler for the guard's lifetime.
#include <csignal>

#include "Interrupt.h"
#include "InterruptFlag.h"

namespace stepctl::cli {
namespace {

struct sigaction g_previous {};

extern "C" void onInterrupt(int) {
    detail::g_interrupted.store(true);
}

}  // namespace

InterruptGuard::InterruptGuard() {
    detail::g_interrupted.store(false);
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &g_previous);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &g_previous, nullptr);
}

}  // namespace stepctl::cli
