// Ctrl-C as a request to stop, for a command that must end between two exchanges rather than
// in the middle of one. While a guard lives, SIGINT only raises a flag.
#pragma once

#include <chrono>
#include <csignal>

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

  private:
    struct sigaction previous_ {};
};

}  // namespace stepctl::cli
