// The timed stream: each step its frame and hold samples, the counts from the dwell and the
// rate, made in pieces of any size, refused before anything when a step is shorter than its
// frame.
#include "TimedStream.h"

#include <gtest/gtest.h>

#include "ArgumentRules.h"
#include "HopList.h"

namespace stepctl::session {
namespace {

using Bytes = std::vector<std::uint8_t>;

StepPlan planOf(const char* list, int row, long long passes = 1) {
    Warnings warnings;
    StepPlan plan;
    plan.target = {row, Interface::Serial, 0, "",
                   sendsBothCodes(row, Interface::Serial) ? "0" : ""};
    plan.steps = *readHopList(list, plan.target, std::chrono::nanoseconds(0), warnings, true);
    plan.passes = passes;
    return plan;
}

// The whole stream, drawn in pieces of `piece` bytes.
Bytes streamOf(const StepPlan& plan, long long rate, std::size_t piece,
               std::vector<std::uint64_t>* starts = nullptr) {
    TimedStream stream(plan, rate, [starts](const TimedStep& step) {
        if (starts != nullptr)
            starts->push_back(step.start);
    });
    Bytes all, chunk(piece);
    while (const std::size_t n = stream.fill(chunk))
        all.insert(all.end(), chunk.begin(), chunk.begin() + static_cast<long>(n));
    return all;
}

void append(Bytes& out, const Frame& frame, std::size_t samples) {
    out.insert(out.end(), frame.begin(), frame.end());
    out.insert(out.end(), samples - kFrameSize, frame.back());
}

constexpr const char* kList = "10,1\n20.5,0.5\n31.5,2\n0,0.36\n7,1.234\n";

TEST(TimedStream, IsEachStepsFrameThenHoldSamplesForItsDwellPassAfterPass) {
    // ZMG-A4 (row 3), 0.5 dB a code; at 100 kS/s a millisecond is 100 samples.
    Bytes pass;
    const std::pair<int, std::size_t> steps[] = {
        {20, 100}, {41, 50}, {63, 200}, {0, 36}, {14, 123}};
    for (const auto& [code, samples] : steps)
        append(pass, buildControlFrame(Interface::Serial, false, code), samples);
    Bytes want = pass;
    want.insert(want.end(), pass.begin(), pass.end());
    ASSERT_EQ(want.size(), 1018u);
    std::vector<std::uint64_t> starts;
    for (std::size_t piece : {1u, 7u, 36u, 4096u}) {
        starts.clear();
        EXPECT_EQ(streamOf(planOf(kList, 3, 2), 100000, piece, &starts), want) << piece;
    }
    EXPECT_EQ(starts, (std::vector<std::uint64_t>{0, 100, 150, 350, 386, 509, 609, 659, 859, 895}));
}

TEST(TimedStream, CarriesBothCodesOfTheDualDevice) {
    Bytes want;
    append(want, buildDualFrame(20, 41), 100);
    append(want, buildDualFrame(63, 0), 36);
    EXPECT_EQ(streamOf(planOf("10,20.5,1\n31.5,0,0.36\n", 14), 100000, 4096), want);
}

TEST(TimedStream, RefusesAStepShorterThanItsFrameByItsLineAndAnUnstreamableRate) {
    const StepPlan plan = planOf("10,1\n20,0.2\n", 3);
    const auto problem = timedProblem(plan, 100000);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message,
              "line 2: dwell 0.2 ms is 20 samples at 100000 samples/s; a timed step needs at least "
              "the 36 samples of its frame (0.36 ms); nothing sent");
    EXPECT_FALSE(timedProblem(plan, 180000));  // 0.2 ms is 36 samples there
    for (long long rate : {2000LL, 1000001LL})
        EXPECT_NE(timedProblem(planOf("1,1000\n", 3), rate)->message.find("--sample-rate"),
                  std::string::npos);
}

TEST(TimedStream, RoundsEachDwellToTheNearestSample) {
    using std::chrono::nanoseconds;
    const std::tuple<long long, long long, std::uint64_t> cases[] = {
        {1'234'000, 100000, 123},                         // 123.4
        {1'235'000, 100000, 124},                         // 123.5 rounds up
        {86'400'000'000'000, 1'000'000, 86'400'000'000},  // a day at 1 MS/s: no overflow
    };
    for (const auto& [ns, rate, samples] : cases)
        EXPECT_EQ(samplesFor(nanoseconds(ns), rate), samples) << ns;
}

TEST(ReadMilliseconds, ReadsDecimalsExactlyAndRefusesTheRest) {
    EXPECT_EQ(*readMilliseconds("x", "0.05", 10), std::chrono::microseconds(50));
    EXPECT_EQ(*readMilliseconds("x", "1.234", 10), std::chrono::microseconds(1234));
    EXPECT_EQ(*readMilliseconds("x", "10", 10), std::chrono::milliseconds(10));
    for (const char* text : {"", ".5", "5.", "-1", "1e3", "0x1", "1,5", "10.000001", "0.0000001"})
        EXPECT_FALSE(readMilliseconds("x", text, 10).ok()) << text;
}

}  // namespace
}  // namespace stepctl::session
