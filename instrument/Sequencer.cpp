#include "Sequencer.h"

#include <asio/post.hpp>

namespace stepctl::instrument {

Sequencer::Sequencer(asio::io_context& io, Send send)
    : io_(io), timer_(io), send_(std::move(send)) {}

void Sequencer::start(session::StepPlan plan) {
    abort();
    plan_ = std::move(plan);
    cursor_.emplace(plan_);
    running_ = true;
    step_ = 0;
    ++started_;
    start_ = std::chrono::steady_clock::now();
    tick();
}

void Sequencer::abort() {
    if (running_)
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
