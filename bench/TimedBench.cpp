// Timed streams in figures: how fast the host makes and hands over a stream, and how much CPU
// a second of stream costs it, through a link that takes everything at once (an hour of
// stream) and through the simulated board, which also decodes every sample (a minute); then the
// step interval of a timed list, read off the simulated board's latches, next to the same list
// played on the host's clock.
// Prints one JSON object.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "ByteStream.h"
#include "HopList.h"
#include "SequenceRun.h"
#include "TimedRun.h"

namespace stepctl {
namespace {

using Clock = std::chrono::steady_clock;

// A chip with no end to its buffer: only the host's own work is left to measure.
class TakesAll final : public BoardLink {
  public:
    LinkStatus open() override { return {}; }
    LinkStatus setBitMode(std::uint8_t, std::uint8_t) override { return {}; }
    LinkStatus setBaudRate(int) override { return {}; }
    LinkStatus write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
        written = bytes.size();
        return {};
    }
    LinkStatus close() override { return {}; }
};

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto s = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return s(usage.ru_utime) + s(usage.ru_stime);
}

session::StepPlan plan(const char* list, long long passes) {
    session::Warnings warnings;
    session::StepPlan p;
    p.target = {3, Interface::Serial, 0, "", ""};
    p.steps = *session::readHopList(list, p.target, std::chrono::nanoseconds(0), warnings, true);
    p.passes = passes;
    return p;
}

struct Cost {
    double bytesPerSecond;  // bytes made and handed over per second of host CPU
    double cpuPerStreamSecond;
};

Cost streamCost(std::unique_ptr<BoardLink> link, SimulatedBoard* sim, long long rate,
                long long streamSeconds) {
    session::BoardSession board(std::move(link), sim);
    // Steps of 10 ms, alternating: a list of 1000 steps is 10 s of stream.
    std::string list;
    for (int i = 0; i < 1000; ++i)
        list += (i % 2 ? "20,10\n" : "10,10\n");
    const session::StepPlan p = plan(list.c_str(), streamSeconds / 10);
    const double before = cpuSeconds();
    const session::TimedEnd end = session::runTimed(board, p, {rate, nullptr}, {}, {});
    const double cpu = cpuSeconds() - before;
    return {static_cast<double>(end.samples) / cpu, cpu / static_cast<double>(streamSeconds)};
}

struct Spread {
    double mean, p99, max;
};

Spread spread(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double v : values)
        sum += v;
    return {sum / static_cast<double>(values.size()),
            values[static_cast<std::size_t>(static_cast<double>(values.size() - 1) * 0.99)],
            values.back()};
}

// Step intervals in seconds of a list of 1 ms steps, from the simulated board's latches.
Spread timedIntervals(int steps) {
    auto sim = std::make_unique<SimulatedBoard>();
    SimulatedBoard* simulated = sim.get();
    session::BoardSession board(std::move(sim), simulated);
    std::vector<double> latched;
    session::runTimed(board, plan("10,1\n20,1\n", steps / 2), {100000, nullptr}, {},
                      [&latched](const session::TimedStepDone& done) {
                          for (const SimulatedLatch& l : done.latches)
                              latched.push_back(static_cast<double>(l.sample) / 100000.0);
                          return true;
                      });
    std::vector<double> intervals;
    for (std::size_t i = 1; i < latched.size(); ++i)
        intervals.push_back(latched[i] - latched[i - 1]);
    return spread(intervals);
}

// The same list on the host's clock: the interval between two settings leaving the host.
Spread hostIntervals(int steps) {
    auto sim = std::make_unique<SimulatedBoard>();
    SimulatedBoard* simulated = sim.get();
    session::BoardSession board(std::move(sim), simulated);
    std::vector<Clock::time_point> sent;
    session::runSequence(
        board, plan("10,1\n20,1\n", steps / 2),
        [](session::SequenceClock::time_point due) {
            std::this_thread::sleep_until(due);
            return true;
        },
        [&sent](const session::StepDone&) {
            sent.push_back(Clock::now());
            return true;
        });
    std::vector<double> intervals;
    for (std::size_t i = 1; i < sent.size(); ++i)
        intervals.push_back(std::chrono::duration<double>(sent[i] - sent[i - 1]).count());
    return spread(intervals);
}

}  // namespace
}  // namespace stepctl

int main() {
    using namespace stepctl;
    const Cost discard100k = streamCost(std::make_unique<TakesAll>(), nullptr, 100000, 3600);
    const Cost discard1m = streamCost(std::make_unique<TakesAll>(), nullptr, 1000000, 3600);
    auto sim = std::make_unique<SimulatedBoard>();
    SimulatedBoard* simulated = sim.get();
    const Cost sim100k = streamCost(std::move(sim), simulated, 100000, 60);
    const Spread timed = timedIntervals(400);
    const Spread host = hostIntervals(400);
    std::printf(
        "{\"discard_100k\": {\"bytes_per_s\": %.6g, \"cpu_per_stream_s\": %.6g},"
        " \"discard_1m\": {\"bytes_per_s\": %.6g, \"cpu_per_stream_s\": %.6g},"
        " \"sim_100k\": {\"bytes_per_s\": %.6g, \"cpu_per_stream_s\": %.6g},"
        " \"timed_interval_s\": {\"mean\": %.9g, \"p99\": %.9g, \"max\": %.9g},"
        " \"host_interval_s\": {\"mean\": %.9g, \"p99\": %.9g, \"max\": %.9g}}\n",
        discard100k.bytesPerSecond, discard100k.cpuPerStreamSecond, discard1m.bytesPerSecond,
        discard1m.cpuPerStreamSecond, sim100k.bytesPerSecond, sim100k.cpuPerStreamSecond,
        timed.mean, timed.p99, timed.max, host.mean, host.p99, host.max);
}
