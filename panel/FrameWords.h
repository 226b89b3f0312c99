// The frame view's words, the same in every front end: what the last transfer carried and how
// it went, its bytes, what the simulated board holds, and a file name for its VCD.
#pragma once

#include <optional>
#include <string>

#include "Exchange.h"
#include "LastSend.h"

namespace stepctl {
class SimulatedBoard;
}

namespace stepctl::panel {

// "Last frame: ZMT-A8, addressable-6, code 42 (21.00 dB) to address 5: sent"; the line before
// the first transfer when there is none.
std::string frameSummary(const std::optional<SendOutcome>& outcome,
                         const std::optional<SentSettings>& settings);

// "00 20 40 ...", upper-case hex, one space between bytes.
std::string frameBytes(const Frame& frame);

// One line per attenuator, or "(nothing latched yet)".
std::string simulatedHolds(const SimulatedBoard& board);

// "stepctl-serial-6.vcd".
std::string vcdFileName(FrameKind kind);

}  // namespace stepctl::panel
