// The points of a sweep: from, from ± step, ... up to and including `to` when the steps land on
// it. Pure.
#pragma once

#include <string>
#include <vector>

#include "Checked.h"

namespace stepctl::session {

inline constexpr std::size_t kMaxSweepPoints = 10000;

// Each point as the text a user would type for it ("0.3", "10.75"), to be read by the Send
// exactly as a typed value. `step` is a positive size; the direction follows from and to.
Checked<std::vector<std::string>> sweepPoints(double from, double to, double step);

}  // namespace stepctl::session
