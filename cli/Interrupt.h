// Ctrl-C, SIGTERM and SIGHUP as a request to stop, for a command that must end between two
// exchanges rather than in the middle of one. While a guard lives, those only raise a flag (signal
// handlers on POSIX, where SIGPIPE is also ignored so that a closed output shows as a failed
// write; a console control handler on Windows; one source file each).
#pragma once

#include <chrono>
#include <string_view>

namespace stepctl::cli {

class InterruptGuard {
  public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    bool requested() const;
    // What asked: "Ctrl-C", "SIGTERM" or "SIGHUP".
    std::string_view cause() const;
    // Waits, and returns early (false) when a stop is requested.
    bool wait(std::chrono::milliseconds duration) const;
    bool waitUntil(std::chrono::steady_clock::time_point deadline) const;
};

}  // namespace stepctl::cli
