#include "SweepPlan.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "ArgumentRules.h"
#include "Catalogue.h"
#include "TextFormat.h"

namespace stepctl::session {
namespace {

// Six decimals, then trailing zeros dropped: 0.30000000000000004 becomes "0.3", so the Send
// quantises the value the user meant rather than a rounding error just below a step.
std::string pointText(double value) {
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text == "-0" ? "0" : text;
}

}  // namespace

Checked<std::vector<std::string>> sweepPoints(double from, double to, double step) {
    if (!(step > 0.0) || !std::isfinite(step))
        return BadArgument{"--step: must be above 0 dB"};
    // A hair of tolerance so that 0..1 by 0.1 ends on 1 despite binary fractions.
    const double intervals = std::floor(std::fabs(to - from) / step + 1e-9);
    if (!(intervals < static_cast<double>(kMaxSweepPoints))) {
        return BadArgument{"--step: " + pointText(step) + " dB gives more than " +
                           std::to_string(kMaxSweepPoints) + " points"};
    }
    const double direction = to < from ? -1.0 : 1.0;
    std::vector<std::string> points;
    for (int i = 0; i <= static_cast<int>(intervals); ++i)
        points.push_back(pointText(from + direction * step * i));
    return points;
}

Checked<StepPlan> sweepPlan(const SendRequest& target, const SweepText& typed, Warnings& warnings) {
    const int row = target.row;
    const Checked<float> from = readLevel("--from", typed.from, row, warnings);
    if (!from.ok())
        return from.bad();
    const Checked<float> to = readLevel("--to", typed.to, row, warnings);
    if (!to.ok())
        return to.bad();
    const Checked<float> step = readDb("--step", typed.step);
    if (!step.ok())
        return step.bad();

    // The ends are clamped as the Send would clamp them, so no point lies beyond the range.
    auto clamped = [row](float db) { return std::clamp<double>(db, 0.0, topDb(row)); };
    const auto points = sweepPoints(clamped(*from), clamped(*to), *step);
    if (!points.ok())
        return points.bad();
    StepPlan plan;
    plan.target = target;
    plan.passes = typed.passes;
    std::vector<std::string> texts = *points;
    if (typed.bidirectional && texts.size() > 1) {
        // Back down without the turning point twice; a next pass then starts where this ends.
        texts.insert(texts.end(), points->rbegin() + 1, points->rend());
        plan.joinPasses = true;
    }
    for (std::string& text : texts)
        plan.steps.push_back({std::move(text), {}, typed.dwell});
    if (*step < dbPerStep(row)) {
        warnings.push_back("--step " + typed.step + " is finer than the " +
                           formatDb(static_cast<float>(dbPerStep(row))) + " dB step of " +
                           deviceLabel(row) + ": some points repeat a code");
    }
    return plan;
}

}  // namespace stepctl::session
