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
    // A timed stream counts samples, so its dwell may be a decimal.
    std::chrono::nanoseconds dwell{0};
    if (options.timed.timed) {
        const auto exact = readMilliseconds("--dwell-ms", options.dwellMs, kMaxDwellMs);
        if (!exact.ok())
            return exact.bad();
        dwell = *exact;
    } else {
        const Checked<long long> ms =
            readWholeNumber("--dwell-ms", options.dwellMs, 0, kMaxDwellMs);
        if (!ms.ok())
            return ms.bad();
        dwell = std::chrono::milliseconds(*ms);
    }
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
