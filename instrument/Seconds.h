// A time parameter: seconds with an optional S, MS or US suffix, or MIN, MAX, DEF.
#pragma once

#include <chrono>
#include <optional>

#include "Parser.h"

namespace stepctl::instrument {

// The time, or nothing when the parameter is not a time; `def` for DEF, 0 for MIN, `max` for
// MAX. A time beyond 0..max is given back as it is, for the caller to refuse.
std::optional<std::chrono::duration<double>> readSeconds(const scpi::Parameter& parameter,
                                                         std::chrono::duration<double> def,
                                                         std::chrono::duration<double> max);

}  // namespace stepctl::instrument
