#include "Sequencer.h"

#include <asio/executor_work_guard.hpp>
#include <asio/post.hpp>

namespace stepctl::instrument {

Sequencer::Sequencer(asio::io_context& io, Send send, Stream stream, Streamed streamed)
    : io_(io),
      timer_(io),
      send_(std::move(send)),
      stream_(std::move(stream)),
      streamed_(std::move(streamed)) {}

Sequencer::~Sequencer() {
    // The server is going: the stream stops within a piece and the chip is let go.
    stop_ = true;
    if (worker_.joinable())
        worker_.join();
}

void Sequencer::begin(session::StepPlan plan) {
    if (streaming()) {
        stop_ = true;
        worker_.join();  // the chip is let go; the end it posted is for a run gone by
        finish();
    } else {
        abort();
    }
    plan_ = std::move(plan);
    running_ = true;
    step_ = 0;
    ++started_;
}

void Sequencer::start(session::StepPlan plan) {
    begin(std::move(plan));
    cursor_.emplace(plan_);
    start_ = std::chrono::steady_clock::now();
    tick();
}

void Sequencer::startTimed(session::StepPlan plan, long long samplesPerSecond) {
    begin(std::move(plan));
    stop_ = false;
    // Work outstanding on the loop until the end is posted, so that run() waits for it.
    worker_ =
        std::thread([this, samplesPerSecond, run = started_, guard = asio::make_work_guard(io_)] {
            session::TimedEnd end = stream_(
                plan_, samplesPerSecond, [this] { return !stop_; },
                [this](const session::TimedStepDone& done) {
                    step_ = done.step.number;
                    return true;
                });
            asio::post(io_, [this, run, end = std::move(end)] { streamEnded(run, end); });
        });
}

void Sequencer::abort() {
    if (!running_)
        return;
    if (worker_.joinable())
        stop_ = true;  // the stream's end, posted by its thread, finishes the run
    else
        finish();
}

void Sequencer::streamEnded(long long run, const session::TimedEnd& end) {
    if (run != started_)
        return;      // ended already by begin()
    worker_.join();  // it has posted this and returns
    if (!streamed_(end))
        failedRun_ = run;
    finish();
}

void Sequencer::tick() {
    if (cursor_->done()) {
        finish();  // the last step has held its dwell
        return;
    }
    step_ = cursor_->number();
    if (!send_(session::stepRequest(plan_, cursor_->step()))) {
        failedRun_ = started_;
        finish();
        return;
    }
    cursor_->advance();
    timer_.expires_at(
        start_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(cursor_->due()));
    timer_.async_wait([this, run = started_](std::error_code ec) {
        if (!ec && running_ && run == started_)
            tick();
    });
}

void Sequencer::finish() {
    running_ = false;
    ++ended_;
    timer_.cancel();
    std::vector<std::function<void()>> done;
    done.swap(waiting_);
    for (auto& callback : done)
        asio::post(io_, std::move(callback));
}

void Sequencer::whenDone(std::function<void()> done) {
    if (running_)
        waiting_.push_back(std::move(done));
    else
        asio::post(io_, std::move(done));
}

}  // namespace stepctl::instrument
