#include "SweepPlan.h"

#include <limits>
#include <optional>

#include "ArgumentRules.h"
#include "Catalogue.h"
#include "TextFormat.h"

namespace stepctl::session {
namespace {

constexpr long long kLongMax = std::numeric_limits<long long>::max();

// m x 10^times, or nothing when it does not fit.
std::optional<long long> shifted(long long m, long long times) {
    for (; times > 0; --times) {
        if (m > kLongMax / 10 || m < -kLongMax / 10)
            return std::nullopt;
        m *= 10;
    }
    return m;
}

const BadArgument kTooManyDigits{
    "--from, --to, --step: too many digits to count the sweep's points exactly"};

}  // namespace

Checked<std::vector<std::string>> sweepPoints(Decimal from, Decimal to, Decimal step) {
    if (step.mantissa <= 0)
        return BadArgument{"--step: must be above 0 dB"};
    // The ends on one grid, then the span on the step's grid.
    const int endsExponent = std::min(from.exponent, to.exponent);
    const auto first = shifted(from.mantissa, from.exponent - endsExponent);
    const auto last = shifted(to.mantissa, to.exponent - endsExponent);
    if (!first || !last || *first < -kLongMax / 2 || *last < -kLongMax / 2 ||
        *first > kLongMax / 2 || *last > kLongMax / 2) {
        return kTooManyDigits;
    }
    const long long span = *last >= *first ? *last - *first : *first - *last;
    const BadArgument tooMany{"--step: " + decimalText(step) + " dB gives more than " +
                              std::to_string(kMaxSweepPoints) + " points"};
    long long intervals = 0;
    if (step.exponent >= endsExponent) {
        const auto stepOnEnds = shifted(step.mantissa, step.exponent - endsExponent);
        intervals = stepOnEnds ? span / *stepOnEnds : 0;  // a step too large to shift: no interval
    } else {
        const auto spanOnStep = shifted(span, endsExponent - step.exponent);
        if (!spanOnStep)
            return tooMany;  // a step that fine against such a span
        intervals = *spanOnStep / step.mantissa;
    }
    if (intervals >= static_cast<long long>(kMaxSweepPoints))
        return tooMany;

    // from + i x step on the finer of their grids; within the span, so it fits.
    const int exponent = std::min(from.exponent, step.exponent);
    const auto start = shifted(from.mantissa, from.exponent - exponent);
    const auto stride = intervals == 0 ? std::optional<long long>(0)
                                       : shifted(step.mantissa, step.exponent - exponent);
    if (!start || !stride || (intervals > 0 && *stride > kLongMax / 2 / intervals) ||
        *start > kLongMax / 2 || *start < -kLongMax / 2) {
        return kTooManyDigits;
    }
    const long long direction = *last < *first ? -1 : 1;
    std::vector<std::string> points;
    for (long long i = 0; i <= intervals; ++i)
        points.push_back(decimalText({*start + direction * i * *stride, exponent}));
    return points;
}

Checked<std::vector<std::string>> sweepLevels(int row, std::string_view from, std::string_view to,
                                              std::string_view step, Warnings& warnings) {
    // An end as the Send would clamp it: 0 below, the top above, else exactly as typed.
    const auto end = [row, &warnings](std::string_view option,
                                      std::string_view text) -> Checked<Decimal> {
        const Checked<float> level = readLevel(option, text, row, warnings);
        if (!level.ok())
            return level.bad();
        if (*level < 0.0f)
            return Decimal{};
        if (*level > topDb(row))
            return decimalOf(topDb(row));
        const Number number = *readDbNumber(option, text);
        if (!number.exact)
            return kTooManyDigits;
        return *number.exact;
    };
    const Checked<Decimal> first = end("--from", from);
    if (!first.ok())
        return first.bad();
    const Checked<Decimal> last = end("--to", to);
    if (!last.ok())
        return last.bad();
    const Checked<Number> size = readDbNumber("--step", step);
    if (!size.ok())
        return size.bad();
    if (!(size->value > 0.0))
        return BadArgument{"--step: must be above 0 dB"};
    if (!size->exact)
        return kTooManyDigits;
    const auto points = sweepPoints(*first, *last, *size->exact);
    if (points.ok() && size->value < dbPerStep(row)) {
        warnings.push_back("--step " + std::string(step) + " is finer than the " +
                           formatDb(static_cast<float>(dbPerStep(row))) + " dB step of " +
                           deviceLabel(row) + ": some points repeat a code");
    }
    return points;
}

Checked<StepPlan> sweepPlan(const SendRequest& target, const SweepText& typed, Warnings& warnings) {
    const auto points = sweepLevels(target.row, typed.from, typed.to, typed.step, warnings);
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
    return plan;
}

}  // namespace stepctl::session
