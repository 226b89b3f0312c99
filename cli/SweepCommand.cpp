// stepctl-cli sweep: one panel Send per point, with a dwell between them; up, or up and down
// again, as many times as asked.
#include "ArgumentRules.h"
#include "Commands.h"
#include "StepLoop.h"
#include "SweepPlan.h"

namespace stepctl::cli {
namespace {

Checked<StepPlan> readSweep(const SweepOptions& options, Warnings& warnings) {
    const Checked<SendRequest> target = readTarget(options.target, warnings);
    if (!target.ok())
        return target.bad();
    const Checked<long long> dwell = readWholeNumber("--dwell-ms", options.dwellMs, 0, kMaxDwellMs);
    if (!dwell.ok())
        return dwell.bad();
    const Checked<long long> passes = readWholeNumber("--repeat", options.repeat, 0, kMaxPasses);
    if (!passes.ok())
        return passes.bad();
    return sweepPlan(*target,
                     {options.from, options.to, options.step, std::chrono::milliseconds(*dwell),
                      *passes, options.bidirectional},
                     warnings);
}

}  // namespace

ExitCode runSweep(const SweepOptions& options, const Console& console) {
    Warnings warnings;
    const Checked<StepPlan> plan = readSweep(options, warnings);
    return runPlanned("sweep", plan, options.board, options.json, warnings, console);
}

}  // namespace stepctl::cli
