// A sequence run on a held board from the caller's thread: each step sent when it is due on a
// steady clock, then reported. The CLI and the Python module run theirs here; the instrument
// server runs the same cursor on its event loop instead.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "BoardSession.h"
#include "Sequence.h"

namespace stepctl::session {

using SequenceClock = std::chrono::steady_clock;

struct StepDone {
    const StepCursor& at;  // the step just sent
    const SendRequest& request;
    const SendResult& result;
    std::chrono::nanoseconds late;  // how long after its deadline it went out
};

// Waits until the deadline; false when the wait was cut short (a stop was asked for).
using WaitUntil = std::function<bool(SequenceClock::time_point)>;
// Told of each step; false stops the run after it.
using OnStep = std::function<bool(const StepDone&)>;

struct SequenceEnd {
    std::size_t done = 0;                // steps sent
    bool stopped = false;                // cut short by the wait or by onStep
    std::optional<SendResult> failed;    // the step whose setting did not reach the board
    std::chrono::nanoseconds length{0};  // from the first step's start to the end
};

// Runs until the plan ends, a step fails (the run ends there), or a stop. Each step's dwell is
// held, the last one's too, so a run lasts the sum of its dwells.
SequenceEnd runSequence(BoardSession& board, const StepPlan& plan, const WaitUntil& waitUntil,
                        const OnStep& onStep);

}  // namespace stepctl::session
