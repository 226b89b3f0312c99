// A board's sequence on the server's event loop: each step sent when it is due on the steady
// clock, on deadlines counted from the start (a late step delays none after it), with an Asio
// timer, so the one thread keeps serving every connection in between.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

#include <asio/io_context.hpp>
#include <asio/steady_timer.hpp>

#include "Sequence.h"

namespace stepctl::instrument {

class Sequencer {
  public:
    // Sends one step; false when it did not reach the board, which ends the run.
    using Send = std::function<bool(const session::SendRequest&)>;

    Sequencer(asio::io_context& io, Send send);
    Sequencer(const Sequencer&) = delete;
    Sequencer& operator=(const Sequencer&) = delete;

    // Starts `plan`, sending its first step before returning.
    void start(session::StepPlan plan);
    // Stops a running sequence between two steps.
    void abort();

    bool running() const { return running_; }
    // The number of the step sent last (1-based, across passes), 0 before any.
    std::size_t step() const { return step_; }
    // Runs started and ended so far, to tell one run from the next.
    long long started() const { return started_; }
    long long ended() const { return ended_; }
    // Whether the run numbered `run` ended because a step failed.
    bool failed(long long run) const { return failedRun_ == run; }

    // Called once the running sequence has ended (at once, through the loop, when none runs).
    void whenDone(std::function<void()> done);

  private:
    void tick();
    void finish();

    asio::io_context& io_;
    asio::steady_timer timer_;
    Send send_;
    session::StepPlan plan_;
    std::optional<session::StepCursor> cursor_;
    std::chrono::steady_clock::time_point start_;
    bool running_ = false;
    std::size_t step_ = 0;
    long long started_ = 0;
    long long ended_ = 0;
    long long failedRun_ = 0;
    std::vector<std::function<void()>> waiting_;
};

}  // namespace stepctl::instrument
