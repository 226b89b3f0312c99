// A sequence written as one timed stream through a board session: the chip opened once, set to
// bit-bang mode and to the rate for the sample clock once, then the stream written as fast as
// the chip takes it, its own clock timing every step.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "BitBangClock.h"
#include "BoardSession.h"
#include "Exchange.h"
#include "TimedStream.h"

namespace stepctl::session {

struct TimedOptions {
    long long samplesPerSecond = kDefaultStreamRate;
    std::ostream* vcd = nullptr;  // receives the whole stream as a VCD, as it is written
};

// A step whose bytes the chip has all taken.
struct TimedStepDone {
    const TimedStep& step;
    double startSeconds = 0.0;            // step.start / the sample rate
    std::vector<SimulatedLatch> latches;  // the simulated board's latches within the step
};

// False stops the stream: nothing more is queued.
using OnTimedStep = std::function<bool(const TimedStepDone&)>;
using KeepStreaming = std::function<bool()>;

struct TimedEnd {
    SendStatus status = SendStatus::Sent;
    std::string detail;  // why it failed
    ChipFamily family = ChipFamily::Unknown;
    BitBangRate rate;
    std::uint64_t samples = 0;         // the chip took these
    std::size_t steps = 0;             // steps the chip took whole
    std::optional<TimedStep> latched;  // the last step whose frame the chip took all of
    bool stopped = false;
    bool underrun = false;
    std::string underrunDetail;
    std::vector<std::string> notes;        // things worth saying: an unconfirmed clock, a rate off
    std::chrono::nanoseconds hostTime{0};  // from the open to the close
};

// The plan must have passed timedProblem(). Thread-safe as the session is: holds its lock for
// the whole stream; the chip is closed at the end, so the next setting opens it afresh. The
// session's holds follow the last step latched.
TimedEnd runTimed(BoardSession& session, const StepPlan& plan, const TimedOptions& options,
                  const KeepStreaming& keepGoing, const OnTimedStep& onStep);

}  // namespace stepctl::session
