// The points of a sweep: from, from ± step, ... up to and including `to` when the steps land on
// it. Pure.
#pragma once

#include <string>
#include <vector>

#include "Checked.h"
#include "SendRequest.h"
#include "Sequence.h"

namespace stepctl::session {

inline constexpr std::size_t kMaxSweepPoints = 10000;

// Each point as the text a user would type for it ("0.3", "10.75"), to be read by the Send
// exactly as a typed value. `step` is a positive size; the direction follows from and to.
Checked<std::vector<std::string>> sweepPoints(double from, double to, double step);

// What a sweep is asked for, as typed; the names are the options' for the messages.
struct SweepText {
    std::string from, to, step;
    std::chrono::nanoseconds dwell{0};
    long long passes = 1;
    bool bidirectional = false;  // up and back down, the turning point once
};

// The steps of a sweep on `target`: the ends clamped as the Send clamps them (with a warning),
// every point on the step's grid, a warning where the step is finer than the device's.
Checked<StepPlan> sweepPlan(const SendRequest& target, const SweepText& typed, Warnings& warnings);

}  // namespace stepctl::session
