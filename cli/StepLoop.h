// The loop sweep and play share: the plan run on a held board, each step sent when it is due, a
// progress line each, passes repeated, and a stop between two steps on Ctrl-C, SIGTERM, SIGHUP
// or a closed output. The chip is let go when the loop ends, however it ends.
#pragma once

#include <string_view>

#include "BoardSession.h"
#include "Console.h"
#include "ExitCode.h"
#include "Sequence.h"
#include "SessionWords.h"

namespace stepctl::cli {

// `command` names the loop in its messages ("sweep", "play").
ExitCode runSteps(std::string_view command, const StepPlan& plan, BoardSession& session, bool json,
                  const Console& console);

// A checked plan on the chosen board: a bad plan or board is refused before anything opens,
// then the warnings so far are printed and the loop runs.
ExitCode runPlanned(std::string_view command, const Checked<StepPlan>& plan,
                    const BoardChoice& board, bool json, Warnings& warnings,
                    const Console& console);

}  // namespace stepctl::cli
