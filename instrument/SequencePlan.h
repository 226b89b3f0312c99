// What a board's sequence is set to over SCPI (SWEep and LIST), and the steps it makes for the
// device attached. Pure: settings and a target in, steps or the reason there are none out.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "BitBangClock.h"
#include "Errors.h"
#include "Sequence.h"

namespace stepctl::instrument {

enum class SequenceMode { Fixed, Sweep, List };

struct Level {
    std::string text;  // as sent, without its unit, for the Send to read as typed
    double value = 0.0;
};

inline constexpr std::chrono::nanoseconds kDefaultDwell = std::chrono::milliseconds(100);
inline constexpr std::chrono::nanoseconds kMaxDwell = std::chrono::hours(1);

struct SequenceSettings {
    SequenceMode mode = SequenceMode::Fixed;
    Level sweepStart{"0", 0.0};
    Level sweepStop{"0", 0.0};
    Level sweepStep{"0.5", 0.5};
    std::chrono::nanoseconds sweepDwell = kDefaultDwell;
    long long sweepCount = 1;  // passes; 0 until ABORt
    std::vector<Level> listLevels;
    std::vector<std::chrono::nanoseconds> listDwells{kDefaultDwell};  // one: every step
    long long listCount = 1;
    bool timed = false;  // INITiate writes one stream for the chip's own clock to time
    long long sampleRate = kDefaultStreamRate;  // of that stream, samples per second
};

// The steps of the mode's sequence on attenuator 1 of `target` (its text2 is sent with each
// step as it stands), or why it cannot run: FIXed mode, an empty list, dwells that do not match
// the levels, a level beyond the device's top.
std::variant<session::StepPlan, scpi::Error> sequencePlan(const SequenceSettings& settings,
                                                          const session::SendRequest& target);

// Refuses, naming it, a step of `plan` whose dwell is shorter than its frame at the rate (fewer
// than 36 samples), before anything is written.
std::optional<scpi::Error> timedDwellProblem(const session::StepPlan& plan, SequenceMode mode,
                                             long long samplesPerSecond);

// The mode's sequence length in steps of one pass, as far as it is known without a device.
std::size_t passSteps(const SequenceSettings& settings);

}  // namespace stepctl::instrument
