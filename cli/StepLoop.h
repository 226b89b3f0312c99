// The loop sweep and play share: one panel Send per step, a progress line each, a dwell between
// them, passes repeated, and a stop between two steps on Ctrl-C, SIGTERM, SIGHUP or a closed
// output. Every Send opens and closes the device, so a stop leaves it closed.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "BoardSession.h"
#include "Console.h"
#include "ExitCode.h"
#include "SendRequest.h"

namespace stepctl::cli {

struct Step {
    std::string text1;                   // the first level, as a user would type it
    std::string text2;                   // the second; empty: the target's
    std::chrono::milliseconds dwell{0};  // the wait after this step, unless it is the last
};

struct StepPlan {
    SendRequest target;
    std::vector<Step> steps;
    long long passes = 1;     // 0: until stopped
    bool joinPasses = false;  // a later pass leaves out its first step, the last one's twin
};

inline constexpr long long kMaxPasses = 1'000'000;

// `command` names the loop in its messages ("sweep", "play").
ExitCode runSteps(std::string_view command, const StepPlan& plan, const BoardSession& session,
                  bool json, const Console& console);

// A checked plan on the chosen board: a bad plan or board is refused before anything opens,
// then the warnings so far are printed and the loop runs.
ExitCode runPlanned(std::string_view command, const Checked<StepPlan>& plan,
                    const BoardChoice& board, bool json, Warnings& warnings,
                    const Console& console);

}  // namespace stepctl::cli
