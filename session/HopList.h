// A hop list for `play`: one setting a line, "dB[,dB2][,dwell_ms]", with '#' comments and blank
// lines. Pure: the text in, the steps or the first bad line out.
#pragma once

#include <chrono>
#include <string_view>
#include <vector>

#include "Checked.h"
#include "SendRequest.h"
#include "Sequence.h"

namespace stepctl::session {

inline constexpr std::size_t kMaxHops = 100'000;

// Where the target sends both codes of the dual device a line is "dB,dB2[,dwell_ms]"; for one
// attenuator it is "dB[,dwell_ms]" (or "dB,,dwell_ms"). Levels are read as --db is, clamped
// with a warning; a line without a dwell gets `dwell`.
Checked<std::vector<Step>> readHopList(std::string_view text, const SendRequest& target,
                                       std::chrono::nanoseconds dwell, Warnings& warnings);
// The same with each dwell_ms read as a decimal ("0.05" is 50 us), for a timed stream.
Checked<std::vector<Step>> readHopList(std::string_view text, const SendRequest& target,
                                       std::chrono::nanoseconds dwell, Warnings& warnings,
                                       bool decimalDwells);

}  // namespace stepctl::session
