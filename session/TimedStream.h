// A sequence as one stream of pin samples, for the chip's own clock to time: each step is the
// frame a Send of its level writes, then copies of the frame's last byte (all pins low) until
// its dwell is filled, dwell x rate samples in all. Pure and lazy: the bytes are made as they
// are asked for, so a stream of an hour is never held whole.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "Checked.h"
#include "Sequence.h"
#include "SettingFrame.h"

namespace stepctl::session {

// The samples a dwell fills at a rate: dwell x rate, rounded to the nearest.
std::uint64_t samplesFor(std::chrono::nanoseconds dwell, long long samplesPerSecond);

// Refuses a rate no chip can stream and any step too short to hold its frame (fewer samples
// than the frame has), naming the line, before anything is written.
std::optional<BadArgument> timedProblem(const StepPlan& plan, long long samplesPerSecond);

// One step as the stream reaches it.
struct TimedStep {
    std::size_t number = 0;  // 1-based across passes
    long long pass = 1;
    std::size_t index = 0;      // into plan.steps
    std::uint64_t start = 0;    // its first sample in the stream
    std::uint64_t samples = 0;  // how many it lasts
    SendRequest request;
    SendPlan plan;
    FrameKind kind = FrameKind::Serial6;
};

class TimedStream {
  public:
    using OnStep = std::function<void(const TimedStep&)>;

    // `plan` must outlive the stream and have passed timedProblem(). `onStep` hears of each step
    // when its first byte is made.
    TimedStream(const StepPlan& plan, long long samplesPerSecond, OnStep onStep = {});

    // The next bytes into the front of `into`; how many. 0 once the stream has ended.
    std::size_t fill(std::span<std::uint8_t> into);
    std::uint64_t made() const { return made_; }
    bool done() const { return cursor_.done() && left_ == 0; }

  private:
    void begin();

    const StepPlan& plan_;
    long long rate_;
    OnStep onStep_;
    StepCursor cursor_;
    bool begun_ = false;
    SettingFrame frame_;
    std::uint64_t at_ = 0;    // next byte within the current step
    std::uint64_t left_ = 0;  // bytes of the current step still to make
    std::uint64_t made_ = 0;
};

}  // namespace stepctl::session
