// play --timed and sweep --timed: the plan written as one stream for the chip's own clock to
// time, a line per step once the chip has taken it, and the whole stream as a VCD on request.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "BoardSession.h"
#include "Console.h"
#include "ExitCode.h"
#include "Sequence.h"
#include "SessionWords.h"

namespace stepctl::cli {

// The timed options as typed.
struct TimedText {
    bool timed = false;
    std::optional<std::string> sampleRate;  // samples per second
    std::optional<std::string> vcd;         // a file for the whole stream
};

// Refuses --sample-rate or --vcd without --timed, and nothing else.
std::optional<BadArgument> timedOptionProblem(const TimedText& timed);

// --dwell-ms: whole milliseconds on the host's clock; decimals where the stream counts samples.
Checked<std::chrono::nanoseconds> readDwellMs(const std::string& text, bool timed);

// A checked plan streamed on the chosen board: a bad plan, rate or dwell is refused before
// anything opens.
ExitCode runTimedPlanned(std::string_view command, const Checked<StepPlan>& plan,
                         const TimedText& timed, const BoardChoice& board, bool json,
                         Warnings& warnings, const Console& console);

}  // namespace stepctl::cli
