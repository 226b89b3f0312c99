// The points of a sweep: from, from ± step, ... up to and including `to` when it lies on the
// grid. Counted in exact decimals, as typed, so that 0..1 by 0.1 has 11 points. Pure.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "Checked.h"
#include "Number.h"
#include "SendRequest.h"
#include "Sequence.h"

namespace stepctl::session {

inline constexpr std::size_t kMaxSweepPoints = 10000;

// Each point as the text a user would type for it ("0.3", "10.75"), to be read by the Send
// exactly as a typed value. `step` is a positive size; the direction follows from and to.
Checked<std::vector<std::string>> sweepPoints(Decimal from, Decimal to, Decimal step);

// The points of --from, --to and --step as typed for the row: the ends read as levels and
// clamped as the Send would clamp them (with a warning), so no point lies beyond the range; a
// step finer than the row's is noted too.
Checked<std::vector<std::string>> sweepLevels(int row, std::string_view from, std::string_view to,
                                              std::string_view step, Warnings& warnings);

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
