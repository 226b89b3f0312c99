#include "StepLoop.h"

#include <cerrno>
#include <cstring>

#include "ArgumentRules.h"
#include "Commands.h"
#include "Interrupt.h"
#include "Report.h"
#include "SequenceRun.h"

namespace stepctl::cli {
namespace {

std::string ofTotal(std::size_t done, std::optional<std::size_t> total) {
    return std::to_string(done) + (total ? "/" + std::to_string(*total) : "");
}

}  // namespace

ExitCode runSteps(std::string_view command, const StepPlan& plan, BoardSession& session, bool json,
                  const Console& console) {
    const SimulatedBoard* simulated = session.simulated();
    const std::optional<std::size_t> total = totalSteps(plan);
    const InterruptGuard interrupt;
    bool outputLost = false;
    int lostBecause = 0;  // errno of the write that failed

    const auto report = [&](const StepDone& done) {
        errno = 0;
        const SendOutcome& outcome = *done.result.outcome;  // a checked target always dispatches
        if (json) {
            Json line;
            line["step"] = done.at.number();
            line["steps"] = total ? Json(*total) : Json(nullptr);
            line["pass"] = done.at.pass();
            line["requested_db"] = session::typedDb(done.request.text1);
            addLevels(line, done.result.plan);
            line["kind"] = std::string(frameKindName(outcome.kind));
            line["status"] = std::string(statusName(outcome.status));
            line["detail"] = outcome.detail;
            if (simulated != nullptr) {
                const std::lock_guard guard(session.lock());
                line["latched"] = latchedJson(*simulated);
            }
            console.out << jsonLine(line) << std::endl;
        } else {
            console.out << "step " << ofTotal(done.at.number(), total) << ": " << done.request.text1
                        << " dB: " << (outcome.sent() ? "sent " : "not sent ")
                        << describeLevels(done.result.plan)
                        << std::endl;  // flushed: it is a progress line
        }
        if (outcome.sent() && !outcome.detail.empty())
            console.warn(outcome.detail);
        // Whoever read the progress has gone (`| head -1`): nobody to report to.
        outputLost = !console.out;
        lostBecause = errno;
        return !outputLost;
    };
    const SequenceEnd end = runSequence(
        session, plan, [&](SequenceClock::time_point due) { return interrupt.waitUntil(due); },
        report);
    if (const LinkStatus closed = session.release(); !closed.ok())
        console.warn("closing the device failed: " + closed.message);

    if (end.failed) {
        const SendOutcome& outcome = *end.failed->outcome;
        console.error(std::string(outcome.status == SendStatus::NoDevice ? "no board: "
                                                                         : "transfer failed: ") +
                      outcome.detail + "; " + std::string(command) + " stopped at step " +
                      std::to_string(end.done));
        return exitCodeOf(outcome.status);
    }
    if (outputLost) {
        // A closed pipe (`| head -n 1`) is a reader that has read enough: stop without a word.
        if (lostBecause == EPIPE)
            return ExitCode::Interrupted;
        console.error(
            std::string("the output could not be written") +
            (lostBecause != 0 ? std::string(": ") + std::strerror(lostBecause) : std::string()) +
            "; " + std::string(command) + " stopped; the device is closed");
        return ExitCode::OutputLost;
    }
    if (simulated != nullptr && !json) {
        for (const std::string& line : simulated->report())
            console.out << "sim: " << line << '\n';
    }
    if (end.stopped) {
        console.error(std::string(command) + " stopped by " + std::string(interrupt.cause()) +
                      " after " + std::to_string(end.done) +
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
