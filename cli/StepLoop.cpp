#include "StepLoop.h"

#include <charconv>
#include <optional>

#include "Commands.h"
#include "Interrupt.h"
#include "Report.h"
#include "SendRoad.h"

namespace stepctl::cli {
namespace {

double pointValue(const std::string& point) {
    double value = 0.0;
    std::from_chars(point.data(), point.data() + point.size(), value);
    return value;
}

// The steps of all passes together, or nothing when there is no end.
std::optional<std::size_t> totalSteps(const StepPlan& plan) {
    if (plan.passes == 0)
        return std::nullopt;
    const std::size_t first = plan.steps.size();
    const std::size_t later = first - (plan.joinPasses ? 1 : 0);
    return first + later * static_cast<std::size_t>(plan.passes - 1);
}

std::string ofTotal(std::size_t done, std::optional<std::size_t> total) {
    return std::to_string(done) + (total ? "/" + std::to_string(*total) : "");
}

}  // namespace

ExitCode runSteps(std::string_view command, const StepPlan& plan, const BoardSession& session,
                  bool json, const Console& console) {
    const SimulatedBoard* simulated = session.simulated();
    const std::optional<std::size_t> total = totalSteps(plan);
    const InterruptGuard interrupt;
    std::size_t done = 0;
    bool outputLost = false;

    auto finished = [&] { return total && done >= *total; };
    for (long long pass = 1; !finished() && !interrupt.requested() && !outputLost; ++pass) {
        const std::size_t first = pass > 1 && plan.joinPasses ? 1 : 0;
        for (std::size_t i = first; i < plan.steps.size(); ++i) {
            if (interrupt.requested())
                break;
            const Step& step = plan.steps[i];
            SendRequest request = plan.target;
            request.text1 = step.text1;
            if (!step.text2.empty())
                request.text2 = step.text2;
            const SendResult result = stepctl::runSend(sendInputs(request));
            const SendOutcome& outcome = *result.outcome;  // a checked target always dispatches
            ++done;

            if (json) {
                Json line;
                line["step"] = done;
                line["steps"] = total ? Json(*total) : Json(nullptr);
                line["pass"] = pass;
                line["requested_db"] = pointValue(request.text1);
                addLevels(line, result.plan);
                line["kind"] = std::string(frameKindName(outcome.kind));
                line["status"] = std::string(statusName(outcome.status));
                line["detail"] = outcome.detail;
                if (simulated != nullptr)
                    line["latched"] = latchedJson(*simulated);
                console.out << jsonLine(line) << std::endl;
            } else {
                console.out << "step " << ofTotal(done, total) << ": " << request.text1
                            << " dB: " << (outcome.sent() ? "sent " : "not sent ")
                            << describeLevels(result.plan)
                            << std::endl;  // flushed: it is a progress line
            }
            if (!outcome.sent()) {
                console.error(std::string(outcome.status == SendStatus::NoDevice
                                              ? "no board: "
                                              : "transfer failed: ") +
                              outcome.detail + "; " + std::string(command) + " stopped at step " +
                              std::to_string(done));
                return exitCodeOf(outcome.status);
            }
            if (!outcome.detail.empty())
                console.warn(outcome.detail);
            // Whoever read the progress has gone (`| head -1`): nobody to report to.
            if (!console.out) {
                outputLost = true;
                break;
            }
            if (!finished())
                interrupt.wait(step.dwell);
        }
    }

    if (outputLost)
        return ExitCode::Interrupted;
    if (simulated != nullptr && !json) {
        for (const std::string& line : simulated->report())
            console.out << "sim: " << line << '\n';
    }
    if (!finished()) {
        console.error(std::string(command) + " stopped by " + std::string(interrupt.cause()) +
                      " after " + std::to_string(done) +
                      (total ? " of " + std::to_string(*total) : std::string()) +
                      " steps; the device is closed");
        return ExitCode::Interrupted;
    }
    return ExitCode::Ok;
}

ExitCode runPlanned(std::string_view command, const Checked<StepPlan>& plan,
                    const BoardChoice& board, bool json, Warnings& warnings,
                    const Console& console) {
    if (!plan.ok())
        return refuse(console, plan.bad());
    const auto session = BoardSession::open(board, warnings);
    if (!session.ok())
        return refuse(console, session.bad());
    printWarnings(console, warnings);
    return runSteps(command, *plan, **session, json, console);
}

}  // namespace stepctl::cli
