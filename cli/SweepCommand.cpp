// stepctl-cli sweep: one panel Send per point, with a dwell between them; up, or up and down
// again, as many times as asked.
#include "ArgumentRules.h"
#include "Commands.h"
#include "StepLoop.h"
#include "SweepPlan.h"

namespace stepctl::cli {
namespace {

Checked<StepPlan> readSweep(const SweepOptions& options, Warnings& warnings) {
    StepPlan plan;
    const Checked<SendRequest> target = readTarget(options.target, warnings);
    if (!target.ok())
        return target.bad();
    plan.target = *target;

    const auto points = sweepLevels(target->row, options.from, options.to, options.step, warnings);
    if (!points.ok())
        return points.bad();
    const Checked<long long> dwell = readWholeNumber("--dwell-ms", options.dwellMs, 0, kMaxDwellMs);
    if (!dwell.ok())
        return dwell.bad();
    const Checked<long long> passes = readWholeNumber("--repeat", options.repeat, 0, kMaxPasses);
    if (!passes.ok())
        return passes.bad();
    plan.passes = *passes;

    std::vector<std::string> texts = *points;
    if (options.bidirectional && texts.size() > 1) {
        // Back down without the turning point twice; a next pass then starts where this ends.
        texts.insert(texts.end(), points->rbegin() + 1, points->rend());
        plan.joinPasses = true;
    }
    for (std::string& text : texts)
        plan.steps.push_back({std::move(text), {}, std::chrono::milliseconds(*dwell)});
    return plan;
}

}  // namespace

ExitCode runSweep(const SweepOptions& options, const Console& console) {
    Warnings warnings;
    const Checked<StepPlan> plan = readSweep(options, warnings);
    return runPlanned("sweep", plan, options.board, options.json, warnings, console);
}

}  // namespace stepctl::cli
