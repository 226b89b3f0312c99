#include "TimedStream.h"

#include <algorithm>
#include <cstring>

#include "BitBangClock.h"

namespace stepctl::session {

std::uint64_t samplesFor(std::chrono::nanoseconds dwell, long long samplesPerSecond) {
    // A day at 1 MS/s overflows 64 bits before the division; 128 do not.
    __extension__ using Wide = unsigned __int128;
    const Wide product = static_cast<Wide>(dwell.count()) * static_cast<Wide>(samplesPerSecond);
    return static_cast<std::uint64_t>((product + 500'000'000) / 1'000'000'000);
}

namespace {

std::string msText(std::chrono::nanoseconds dwell) {
    std::string text = std::to_string(dwell.count() / 1'000'000);
    std::string fraction = std::to_string(1'000'000 + dwell.count() % 1'000'000).substr(1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    return fraction.empty() ? text : text + "." + fraction;
}

}  // namespace

std::optional<BadArgument> timedProblem(const StepPlan& plan, long long samplesPerSecond) {
    const RateChoice rate = chooseBitBangRate(ChipFamily::Unknown, samplesPerSecond);
    if (!rate.refusal.empty())
        return BadArgument{"--sample-rate: " + rate.refusal};
    for (const Step& step : plan.steps) {
        const std::uint64_t samples = samplesFor(step.dwell, samplesPerSecond);
        if (samples >= kFrameSize)
            continue;
        const std::string where =
            step.line > 0 ? "line " + std::to_string(step.line) + ": dwell" : "--dwell-ms";
        const std::chrono::nanoseconds shortest(static_cast<long long>(kFrameSize) * 1'000'000'000 /
                                                samplesPerSecond);
        return BadArgument{where + " " + msText(step.dwell) + " ms is " + std::to_string(samples) +
                           " samples at " + std::to_string(samplesPerSecond) +
                           " samples/s; a timed step needs at least the " +
                           std::to_string(kFrameSize) + " samples of its frame (" +
                           msText(shortest) + " ms); nothing sent"};
    }
    return std::nullopt;
}

TimedStream::TimedStream(const StepPlan& plan, long long samplesPerSecond, OnStep onStep)
    : plan_(plan), rate_(samplesPerSecond), onStep_(std::move(onStep)), cursor_(plan) {}

void TimedStream::begin() {
    TimedStep step;
    step.number = cursor_.number();
    step.pass = cursor_.pass();
    step.index = cursor_.index();
    step.start = made_;
    step.samples = samplesFor(cursor_.step().dwell, rate_);
    step.request = stepRequest(plan_, cursor_.step());
    step.plan = planSend(sendInputs(step.request));
    // A checked target always dispatches; a frame of zeros keeps the timing if one did not.
    frame_ = frameForPlan(step.request.row, step.request.iface, step.plan).value_or(SettingFrame{});
    step.kind = frame_.kind;
    at_ = 0;
    left_ = std::max<std::uint64_t>(step.samples, kFrameSize);
    begun_ = true;
    if (onStep_)
        onStep_(step);
}

std::size_t TimedStream::fill(std::span<std::uint8_t> into) {
    std::size_t put = 0;
    while (put < into.size()) {
        if (left_ == 0) {
            if (begun_)
                cursor_.advance();
            if (cursor_.done())
                break;
            begin();
        }
        const std::size_t room = into.size() - put;
        std::size_t count = 0;
        if (at_ < kFrameSize) {
            count = std::min<std::size_t>(room, kFrameSize - static_cast<std::size_t>(at_));
            std::memcpy(into.data() + put, frame_.frame.data() + at_, count);
        } else {
            count = static_cast<std::size_t>(std::min<std::uint64_t>(room, left_));
            std::memset(into.data() + put, frame_.frame[kFrameSize - 1], count);
        }
        put += count;
        at_ += count;
        left_ -= count;
        made_ += count;
    }
    return put;
}

}  // namespace stepctl::session
