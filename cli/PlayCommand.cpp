// stepctl-cli play: a hop list, one panel Send per line, as many times as asked.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "ArgumentRules.h"
#include "Commands.h"
#include "HopList.h"
#include "StepLoop.h"
#include "TimedLoop.h"

namespace stepctl::cli {
namespace {

constexpr std::size_t kMaxListBytes = 16u << 20;

Checked<std::string> readAll(const std::string& file) {
    std::ifstream opened;
    std::istream* in = &std::cin;
    if (file != "-") {
        opened.open(file, std::ios::binary);
        if (!opened) {
            std::string why = "--file: cannot open '" + file + "': ";
            why += std::strerror(errno);
            return BadArgument{why};
        }
        in = &opened;
    }
    std::string text;
    char chunk[65536];
    while (in->read(chunk, sizeof chunk) || in->gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in->gcount()));
        if (text.size() > kMaxListBytes)
            return BadArgument{"--file: '" + file + "' is larger than 16 MiB"};
    }
    if (in->bad())
        return BadArgument{"--file: cannot read '" + file + "'"};
    return text;
}

Checked<StepPlan> readPlay(const PlayOptions& options, Warnings& warnings) {
    // Every line names the second level itself, so the target needs no --db2.
    TargetText typed = options.target;
    const Checked<int> row = readDevice(typed.device);
    const Checked<Interface> iface = readInterface(typed.interface);
    if (row.ok() && iface.ok() && sendsBothCodes(*row, *iface))
        typed.db2.emplace(1, '0');
    const Checked<SendRequest> target = readTarget(typed, warnings);
    if (!target.ok())
        return target.bad();
    const Checked<std::chrono::nanoseconds> readDwell =
        readDwellMs(options.dwellMs, options.timed.timed);
    if (!readDwell.ok())
        return readDwell.bad();
    const std::chrono::nanoseconds dwell = *readDwell;
    const Checked<long long> passes = readWholeNumber("--repeat", options.repeat, 0, kMaxPasses);
    if (!passes.ok())
        return passes.bad();
    const Checked<std::string> text = readAll(options.file);
    if (!text.ok())
        return text.bad();
    const auto steps = readHopList(*text, *target, dwell, warnings, options.timed.timed);
    if (!steps.ok())
        return BadArgument{steps.error() + "; nothing sent"};
    StepPlan plan;
    plan.target = *target;
    plan.steps = *steps;
    plan.passes = *passes;
    return plan;
}

}  // namespace

ExitCode runPlay(const PlayOptions& options, const Console& console) {
    Warnings warnings;
    if (const auto problem = timedOptionProblem(options.timed))
        return refuse(console, *problem);
    const Checked<StepPlan> plan = readPlay(options, warnings);
    if (options.timed.timed)
        return runTimedPlanned("play", plan, options.timed, options.board, options.json, warnings,
                               console);
    return runPlanned("play", plan, options.board, options.json, warnings, console);
}

}  // namespace stepctl::cli
