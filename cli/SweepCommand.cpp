// stepctl-cli sweep: one panel Send per point, with a dwell between them; up, or up and down
// again, as many times as asked.
#include <algorithm>

#include "ArgumentRules.h"
#include "Commands.h"
#include "StepLoop.h"
#include "SweepPlan.h"
#include "TextFormat.h"

namespace stepctl::cli {
namespace {

Checked<StepPlan> readSweep(const SweepOptions& options, Warnings& warnings) {
    StepPlan plan;
    const Checked<SendRequest> target = readTarget(options.target, warnings);
    if (!target.ok())
        return target.bad();
    plan.target = *target;
    const int row = target->row;

    const Checked<float> from = readLevel("--from", options.from, row, warnings);
    if (!from.ok())
        return from.bad();
    const Checked<float> to = readLevel("--to", options.to, row, warnings);
    if (!to.ok())
        return to.bad();
    const Checked<float> step = readDb("--step", options.step);
    if (!step.ok())
        return step.bad();
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
    plan.passes = *passes;

    // The ends are clamped as the Send would clamp them, so no point lies beyond the range.
    auto clamped = [row](float db) { return std::clamp<double>(db, 0.0, topDb(row)); };
    const auto points = sweepPoints(clamped(*from), clamped(*to), *step);
    if (!points.ok())
        return points.bad();
    std::vector<std::string> texts = *points;
    if (options.bidirectional && texts.size() > 1) {
        // Back down without the turning point twice; a next pass then starts where this ends.
        texts.insert(texts.end(), points->rbegin() + 1, points->rend());
        plan.joinPasses = true;
    }
    for (std::string& text : texts)
        plan.steps.push_back({std::move(text), {}, dwell});
    if (*step < dbPerStep(row)) {
        warnings.push_back("--step " + options.step + " is finer than the " +
                           formatDb(static_cast<float>(dbPerStep(row))) + " dB step of " +
                           deviceLabel(row) + ": some points repeat a code");
    }
    return plan;
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
