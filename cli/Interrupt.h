// Ctrl-C as a request to stop, for a command that must end between two exchanges rather than
// in the middle of one. While a guard lives, Ctrl-C only raises a flag (a SIGINT handler on
// POSIX, a console control handler on Windows; one source file each).
#pragma once

#include <chrono>

namespace stepctl::cli {

class InterruptGuard {
  public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    bool requested() const;
    // Waits, and returns early (false) when Ctrl-C comes.
    bool wait(std::chrono::milliseconds duration) const;
};

}  // namespace stepctl::cli
