// A board's sequence. Host-timed on the server's event loop: each step sent when it is due on
// the steady clock, on deadlines counted from the start (a late step delays none after it), with
// an Asio timer, so the one thread keeps serving every connection in between. Timed: the whole
// plan written as one stream on a thread of the sequencer's own (the write blocks for the
// stream's length), its end posted back to the event loop.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include <asio/io_context.hpp>
#include <asio/steady_timer.hpp>

#include "Sequence.h"
#include "TimedRun.h"

namespace stepctl::instrument {

class Sequencer {
  public:
    // Sends one step; false when it did not reach the board, which ends the run.
    using Send = std::function<bool(const session::SendRequest&)>;
    // Writes a timed stream, off the event loop; asks `keepGoing` between pieces and tells
    // `onStep` of each step the chip took whole.
    using Stream = std::function<session::TimedEnd(
        const session::StepPlan&, long long samplesPerSecond, const session::KeepStreaming&,
        const session::OnTimedStep&)>;
    // Judges a stream's end, on the event loop; false when it failed.
    using Streamed = std::function<bool(const session::TimedEnd&)>;

    Sequencer(asio::io_context& io, Send send, Stream stream, Streamed streamed);
    ~Sequencer();
    Sequencer(const Sequencer&) = delete;
    Sequencer& operator=(const Sequencer&) = delete;

    // Starts `plan`, sending its first step before returning.
    void start(session::StepPlan plan);
    // Starts `plan` as one timed stream; returns at once.
    void startTimed(session::StepPlan plan, long long samplesPerSecond);
    // Stops a host-timed sequence between two steps; asks a stream to stop after the piece
    // being written (it runs until the writing thread has let go of the chip).
    void abort();

    bool running() const { return running_; }
    bool streaming() const { return running_ && worker_.joinable(); }
    // The number of the step sent last (1-based, across passes), 0 before any; for a stream,
    // of the last step the chip took whole.
    std::size_t step() const { return step_; }
    // Runs started and ended so far, to tell one run from the next.
    long long started() const { return started_; }
    long long ended() const { return ended_; }
    // Whether the run numbered `run` ended because a step or the stream failed.
    bool failed(long long run) const { return failedRun_ == run; }

    // Called once the running sequence has ended (at once, through the loop, when none runs).
    void whenDone(std::function<void()> done);

  private:
    void begin(session::StepPlan plan);
    void tick();
    void streamEnded(long long run, const session::TimedEnd& end);
    void finish();

    asio::io_context& io_;
    asio::steady_timer timer_;
    Send send_;
    Stream stream_;
    Streamed streamed_;
    session::StepPlan plan_;  // not touched while a stream is written from it
    std::optional<session::StepCursor> cursor_;
    std::chrono::steady_clock::time_point start_;
    bool running_ = false;
    std::atomic<std::size_t> step_ = 0;
    long long started_ = 0;
    long long ended_ = 0;
    long long failedRun_ = 0;
    std::vector<std::function<void()>> waiting_;
    std::thread worker_;
    std::atomic<bool> stop_ = false;
};

}  // namespace stepctl::instrument
