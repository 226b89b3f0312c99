// stepctl-cli sweep: one panel Send per point, with a dwell between them. Every Send opens and
// closes the device, so stopping between two of them leaves it closed.
#include <algorithm>
#include <charconv>

#include "ArgumentRules.h"
#include "Commands.h"
#include "Interrupt.h"
#include "Report.h"
#include "SendRoad.h"
#include "SweepPlan.h"
#include "TextFormat.h"

namespace stepctl::cli {
namespace {

struct Sweep {
    SendRequest target;
    std::vector<std::string> points;
    std::chrono::milliseconds dwell{0};
};

Checked<Sweep> readSweep(const SweepOptions& options, Warnings& warnings) {
    Sweep sweep;
    const Checked<SendRequest> target = readTarget(options.target, warnings);
    if (!target.ok())
        return target.bad();
    sweep.target = *target;
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
    const Checked<long long> dwell = readWholeNumber("--dwell-ms", options.dwellMs, 0, kMaxDwellMs);
    if (!dwell.ok())
        return dwell.bad();
    sweep.dwell = std::chrono::milliseconds(*dwell);

    // The ends are clamped as the Send would clamp them, so no point lies beyond the range.
    auto clamped = [row](float db) { return std::clamp<double>(db, 0.0, topDb(row)); };
    const auto points = sweepPoints(clamped(*from), clamped(*to), *step);
    if (!points.ok())
        return points.bad();
    sweep.points = *points;
    if (*step < dbPerStep(row)) {
        warnings.push_back("--step " + options.step + " is finer than the " +
                           formatDb(static_cast<float>(dbPerStep(row))) + " dB step of " +
                           deviceLabel(row) + ": some points repeat a code");
    }
    return sweep;
}

double pointValue(const std::string& point) {
    double value = 0.0;
    std::from_chars(point.data(), point.data() + point.size(), value);
    return value;
}

}  // namespace

ExitCode runSweep(const SweepOptions& options, const Console& console) {
    Warnings warnings;
    const Checked<Sweep> sweep = readSweep(options, warnings);
    if (!sweep.ok())
        return refuse(console, sweep.bad());
    const auto session = BoardSession::open(options.board, warnings);
    if (!session.ok())
        return refuse(console, session.bad());
    printWarnings(console, warnings);
    const SimulatedBoard* simulated = (*session)->simulated();

    const InterruptGuard interrupt;
    const std::size_t count = sweep->points.size();
    std::size_t done = 0;
    while (done < count && !interrupt.requested()) {
        SendRequest request = sweep->target;
        request.text1 = sweep->points[done];
        const SendResult result = stepctl::runSend(sendInputs(request));
        const SendOutcome& outcome = *result.outcome;
        ++done;

        if (options.json) {
            Json line;
            line["step"] = done;
            line["steps"] = count;
            line["requested_db"] = pointValue(request.text1);
            addLevels(line, result.plan);
            line["kind"] = std::string(frameKindName(outcome.kind));
            line["status"] = std::string(statusName(outcome.status));
            line["detail"] = outcome.detail;
            if (simulated != nullptr)
                line["latched"] = latchedJson(*simulated);
            console.out << jsonLine(line) << std::endl;
        } else {
            console.out << "step " << done << "/" << count << ": " << request.text1
                        << " dB: " << (outcome.sent() ? "sent " : "not sent ")
                        << describeLevels(result.plan)
                        << std::endl;  // flushed: it is a progress line
        }
        if (!outcome.sent()) {
            console.error(std::string(outcome.status == SendStatus::NoDevice
                                          ? "no board: "
                                          : "transfer failed: ") +
                          outcome.detail + "; sweep stopped at step " + std::to_string(done));
            return exitCodeOf(outcome.status);
        }
        if (!outcome.detail.empty())
            console.warn(outcome.detail);
        if (done < count)
            interrupt.wait(sweep->dwell);
    }

    if (simulated != nullptr && !options.json) {
        for (const std::string& line : simulated->report())
            console.out << "sim: " << line << '\n';
    }
    if (done < count) {
        console.error("sweep stopped by Ctrl-C after " + std::to_string(done) + " of " +
                      std::to_string(count) + " steps; the device is closed");
        return ExitCode::Interrupted;
    }
    return ExitCode::Ok;
}

}  // namespace stepctl::cli
