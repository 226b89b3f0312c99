// stepctl-cli sweep: one panel Send per point, with a dwell between them; up, or up and down
// again, as many times as asked.
#include "ArgumentRules.h"
#include "Commands.h"
#include "StepLoop.h"
#include "SweepPlan.h"
#include "TimedLoop.h"

namespace stepctl::cli {
namespace {

Checked<StepPlan> readSweep(const SweepOptions& options, Warnings& warnings) {
    const Checked<SendRequest> target = readTarget(options.target, warnings);
    if (!target.ok())
        return target.bad();
    const Checked<std::chrono::nanoseconds> readDwell =
        readDwellMs(options.dwellMs, options.timed.timed);
    if (!readDwell.ok())
        return readDwell.bad();
    const std::chrono::nanoseconds dwell = *readDwell;
    const Checked<long long> passes = readWholeNumber("--repeat", options.repeat, 0, kMaxPasses);
    if (!passes.ok())
        return passes.bad();
    return sweepPlan(
        *target, {options.from, options.to, options.step, dwell, *passes, options.bidirectional},
        warnings);
}

}  // namespace

ExitCode runSweep(const SweepOptions& options, const Console& console) {
    Warnings warnings;
    if (const auto problem = timedOptionProblem(options.timed))
        return refuse(console, *problem);
    const Checked<StepPlan> plan = readSweep(options, warnings);
    if (options.timed.timed)
        return runTimedPlanned("sweep", plan, options.timed, options.board, options.json, warnings,
                               console);
    return runPlanned("sweep", plan, options.board, options.json, warnings, console);
}

}  // namespace stepctl::cli
