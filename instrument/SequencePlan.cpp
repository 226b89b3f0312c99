#include "SequencePlan.h"

#include <cstdio>

#include "Number.h"
#include "SweepPlan.h"
#include "TextFormat.h"
#include "TimedStream.h"

namespace stepctl::instrument {

using session::Step;
using session::StepPlan;
namespace err = scpi::err;

namespace {

std::optional<scpi::Error> beyondTop(const Level& level, int row, const char* what) {
    if (level.value >= 0.0 && level.value <= session::topDb(row))
        return std::nullopt;
    return scpi::Error{err::kDataOutOfRange,
                       std::string(what) + " " + level.text + " dB is outside 0.." +
                           formatDb(session::topDb(row)) + " dB of " + session::deviceLabel(row)};
}

// The sweep's points on the step's decimal grid, from the levels as they were sent.
session::Checked<std::vector<std::string>> sweepPointsOf(const SequenceSettings& settings) {
    std::optional<Decimal> exact[3];
    const Level* levels[3] = {&settings.sweepStart, &settings.sweepStop, &settings.sweepStep};
    for (int i = 0; i < 3; ++i) {
        const NumberScan scan = scanNumber(levels[i]->text);
        if (scan.problem != NumberProblem::None || !scan.number.exact)
            return session::BadArgument{"'" + levels[i]->text + "' has too many digits"};
        exact[i] = scan.number.exact;
    }
    return session::sweepPoints(*exact[0], *exact[1], *exact[2]);
}

}  // namespace

std::variant<StepPlan, scpi::Error> sequencePlan(const SequenceSettings& settings,
                                                 const session::SendRequest& target) {
    StepPlan plan;
    plan.target = target;
    const int row = target.row;
    if (settings.mode == SequenceMode::Fixed) {
        return scpi::Error{err::kSettingsConflict,
                           "ATTenuation:MODE is FIXed; choose SWEep or LIST to INITiate"};
    }
    if (settings.mode == SequenceMode::Sweep) {
        for (const auto& [level, what] : {std::pair{&settings.sweepStart, "SWEep:STARt"},
                                          {&settings.sweepStop, "SWEep:STOP"}}) {
            if (auto problem = beyondTop(*level, row, what))
                return *problem;
        }
        const auto points = sweepPointsOf(settings);
        if (!points.ok())
            return scpi::Error{err::kDataOutOfRange, "SWEep: " + points.bad().message};
        for (const std::string& point : *points)
            plan.steps.push_back({point, target.text2, settings.sweepDwell});
        plan.passes = settings.sweepCount;
        return plan;
    }
    if (settings.listLevels.empty())
        return scpi::Error{err::kSettingsConflict, "LIST:ATTenuation holds no levels"};
    const std::size_t dwells = settings.listDwells.size();
    if (dwells != 1 && dwells != settings.listLevels.size()) {
        return scpi::Error{err::kSettingsConflict,
                           "LIST:DWELl has " + std::to_string(dwells) + " values for " +
                               std::to_string(settings.listLevels.size()) +
                               " levels; give one for every step or one for all"};
    }
    for (std::size_t i = 0; i < settings.listLevels.size(); ++i) {
        const Level& level = settings.listLevels[i];
        if (auto problem = beyondTop(level, row, "LIST:ATTenuation"))
            return *problem;
        plan.steps.push_back({level.text, target.text2, settings.listDwells[dwells == 1 ? 0 : i]});
    }
    plan.passes = settings.listCount;
    return plan;
}

std::optional<scpi::Error> timedDwellProblem(const StepPlan& plan, SequenceMode mode,
                                             long long samplesPerSecond) {
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const std::uint64_t samples = session::samplesFor(plan.steps[i].dwell, samplesPerSecond);
        if (samples >= kFrameSize)
            continue;
        const auto ms = [](double seconds) {
            char text[32];
            std::snprintf(text, sizeof text, "%.6g ms", seconds * 1e3);
            return std::string(text);
        };
        const std::string which = mode == SequenceMode::Sweep
                                      ? std::string("SWEep:DWELl")
                                      : "LIST:DWELl of step " + std::to_string(i + 1);
        return scpi::Error{
            err::kDataOutOfRange,
            which + " (" + ms(std::chrono::duration<double>(plan.steps[i].dwell).count()) +
                ") is " + std::to_string(samples) + " samples at " +
                std::to_string(samplesPerSecond) + " samples/s; a timed step needs at least the " +
                std::to_string(kFrameSize) + " samples of its frame (" +
                ms(static_cast<double>(kFrameSize) / static_cast<double>(samplesPerSecond)) +
                "); nothing sent"};
    }
    return std::nullopt;
}

std::size_t passSteps(const SequenceSettings& settings) {
    if (settings.mode == SequenceMode::List)
        return settings.listLevels.size();
    if (settings.mode == SequenceMode::Sweep) {
        const auto points = sweepPointsOf(settings);
        return points.ok() ? points->size() : 0;
    }
    return 0;
}

}  // namespace stepctl::instrument
