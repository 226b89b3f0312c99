#include "TimedLoop.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "ArgumentRules.h"
#include "Commands.h"
#include "Interrupt.h"
#include "Report.h"
#include "TextFormat.h"
#include "TimedRun.h"

namespace stepctl::cli {
namespace {

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

}  // namespace

std::optional<BadArgument> timedOptionProblem(const TimedText& timed) {
    if (timed.timed)
        return std::nullopt;
    if (timed.sampleRate)
        return BadArgument{"--sample-rate needs --timed"};
    if (timed.vcd)
        return BadArgument{"--vcd needs --timed"};
    return std::nullopt;
}

ExitCode runTimedPlanned(std::string_view command, const Checked<StepPlan>& plan,
                         const TimedText& timed, const BoardChoice& board, bool json,
                         Warnings& warnings, const Console& console) {
    if (!plan.ok())
        return refuse(console, plan.bad());
    long long rate = kDefaultStreamRate;
    if (timed.sampleRate) {
        const Checked<long long> typed =
            readWholeNumber("--sample-rate", *timed.sampleRate, 1, 1'000'000'000'000);
        if (!typed.ok())
            return refuse(console, typed.bad());
        rate = *typed;
    }
    if (const auto problem = timedProblem(*plan, rate))
        return refuse(console, *problem);
    std::ofstream vcdFile;
    if (timed.vcd) {
        vcdFile.open(*timed.vcd, std::ios::binary | std::ios::trunc);
        if (!vcdFile) {
            return refuse(console, BadArgument{"--vcd: cannot write '" + *timed.vcd +
                                               "': " + std::strerror(errno)});
        }
    }
    const auto session = BoardSession::open(board, warnings);
    if (!session.ok())
        return refuse(console, session.bad());
    printWarnings(console, warnings);

    const std::optional<std::size_t> total = totalSteps(*plan);
    const SimulatedBoard* simulated = (*session)->simulated();
    const InterruptGuard interrupt;
    bool outputLost = false;
    const auto report = [&](const TimedStepDone& done) {
        const TimedStep& step = done.step;
        if (json) {
            Json line;
            line["step"] = step.number;
            line["steps"] = total ? Json(*total) : Json(nullptr);
            line["pass"] = step.pass;
            addLevels(line, step.plan);
            line["kind"] = std::string(frameKindName(step.kind));
            line["t_s"] = done.startSeconds;
            line["sample"] = step.start;
            line["samples"] = step.samples;
            if (simulated != nullptr) {
                Json latches = Json::array();
                for (const SimulatedLatch& latch : done.latches) {
                    latches.push_back(
                        {{"attenuator", simulated->attenuators()[latch.attenuator].setup().label},
                         {"code", latch.code},
                         {"sample", latch.sample},
                         {"t_s", static_cast<double>(latch.sample) / static_cast<double>(rate)}});
                }
                line["latches"] = latches;
            }
            console.out << jsonLine(line) << std::endl;
        } else {
            console.out << "step " << step.number << (total ? "/" + std::to_string(*total) : "")
                        << " at " << seconds(done.startSeconds) << " s: " << step.request.text1
                        << " dB: " << describeLevels(step.plan) << std::endl;
        }
        outputLost = !console.out;
        return !outputLost;
    };
    const TimedEnd end = runTimed(
        **session, *plan, {rate, timed.vcd ? &vcdFile : nullptr},
        [&interrupt] { return !interrupt.requested(); }, report);
    for (const std::string& note : end.notes)
        console.warn(note);
    if (timed.vcd) {
        vcdFile.flush();
        if (!vcdFile)
            console.warn("--vcd: writing '" + *timed.vcd + "' failed");
    }

    if (end.status != SendStatus::Sent) {
        console.error(
            std::string(end.status == SendStatus::NoDevice ? "no board: " : "transfer failed: ") +
            end.detail + "; " + std::string(command) + " stopped after " +
            std::to_string(end.steps) + " steps");
        return exitCodeOf(end.status);
    }
    if (outputLost)
        return ExitCode::Interrupted;
    const double length = static_cast<double>(end.samples) / static_cast<double>(rate);
    if (json) {
        Json line;
        line["stream_samples"] = end.samples;
        line["sample_rate_hz"] = rate;
        line["chip_rate_hz"] = end.rate.actualHz;
        line["rate_setting"] = end.rate.baudSetting;
        line["chip"] = std::string(chipFamilyName(end.family));
        line["length_s"] = length;
        line["underrun"] = end.underrun;
        console.out << jsonLine(line) << std::endl;
    } else {
        console.out << "timed stream: " << end.samples << " samples at " << rate << " samples/s ("
                    << seconds(length) << " s), rate setting " << end.rate.baudSetting << '\n';
        if (simulated != nullptr) {
            const std::lock_guard guard((*session)->lock());
            for (const std::string& line : simulated->report())
                console.out << "sim: " << line << '\n';
        }
    }
    if (end.underrun) {
        console.error("the timing was not kept: " + end.underrunDetail);
        return ExitCode::TransferFailed;
    }
    if (end.stopped) {
        console.error(std::string(command) + " stopped by " + std::string(interrupt.cause()) +
                      " after " + std::to_string(end.steps) + " steps; the device is closed");
        return ExitCode::Interrupted;
    }
    return ExitCode::Ok;
}

Checked<std::chrono::nanoseconds> readDwellMs(const std::string& text, bool timed) {
    if (timed)
        return readMilliseconds("--dwell-ms", text, kMaxDwellMs);
    const Checked<long long> ms = readWholeNumber("--dwell-ms", text, 0, kMaxDwellMs);
    if (!ms.ok())
        return ms.bad();
    return std::chrono::nanoseconds(std::chrono::milliseconds(*ms));
}

}  // namespace stepctl::cli
