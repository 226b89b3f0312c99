#include "StreamVcd.h"

namespace stepctl {
namespace {

char idOf(std::size_t lane) {
    return static_cast<char>('!' + lane);
}

struct Timescale {
    const char* name;
    std::int64_t ps;
};

// The coarsest unit the sample period is a whole number of, so that readers that turn the
// dump into samples at the unit's rate (sigrok does) make no more samples than the stream has.
Timescale timescaleFor(long long rate) {
    constexpr Timescale kUnits[] = {{"1s", 1'000'000'000'000},
                                    {"100ms", 100'000'000'000},
                                    {"10ms", 10'000'000'000},
                                    {"1ms", 1'000'000'000},
                                    {"100us", 100'000'000},
                                    {"10us", 10'000'000},
                                    {"1us", 1'000'000},
                                    {"100ns", 100'000},
                                    {"10ns", 10'000},
                                    {"1ns", 1'000},
                                    {"100ps", 100},
                                    {"10ps", 10}};
    if (1'000'000'000'000 % rate == 0) {
        const std::int64_t period = 1'000'000'000'000 / rate;
        for (const Timescale& unit : kUnits) {
            if (period % unit.ps == 0)
                return unit;
        }
    }
    return {"1ps", 1};
}

}  // namespace

VcdStream::VcdStream(std::ostream& out, FrameKind kind, long long samplesPerSecond,
                     const std::string& comment)
    : out_(out), lanes_(lanesFor(kind)), rate_(samplesPerSecond > 0 ? samplesPerSecond : 1) {
    const Timescale unit = timescaleFor(rate_);
    unitPs_ = unit.ps;
    out_ << "$version stepctl $end\n$comment " << comment << " $end\n$timescale " << unit.name
         << " $end\n"
         << "$scope module stepctl $end\n";
    for (std::size_t i = 0; i < lanes_.size(); ++i)
        out_ << "$var wire 1 " << idOf(i) << ' ' << lanes_[i].name << " $end\n";
    out_ << "$upscope $end\n$enddefinitions $end\n";
}

std::int64_t VcdStream::timeOf(std::uint64_t sample) const {
    // An hour at 1 MS/s is 3.6e15 ps, far inside 64 bits, but the product before the division
    // is not.
    __extension__ using Wide = unsigned __int128;
    const Wide perUnit = static_cast<Wide>(rate_) * static_cast<Wide>(unitPs_);
    const Wide units = (static_cast<Wide>(sample) * 1'000'000'000'000ULL + perUnit / 2) / perUnit;
    return static_cast<std::int64_t>(units);
}

void VcdStream::samples(std::span<const std::uint8_t> bytes) {
    std::string changes;
    for (const std::uint8_t now : bytes) {
        changes.clear();
        for (std::size_t i = 0; i < lanes_.size(); ++i) {
            const bool level = (now & lanes_[i].mask) != 0;
            if (next_ == 0 || level != ((before_ & lanes_[i].mask) != 0)) {
                changes += level ? '1' : '0';
                changes += idOf(i);
                changes += '\n';
            }
        }
        if (next_ == 0)
            out_ << "#0\n$dumpvars\n" << changes << "$end\n";
        else if (!changes.empty())
            out_ << '#' << timeOf(next_) << '\n' << changes;
        before_ = now;
        ++next_;
    }
}

void VcdStream::finish() {
    out_ << '#' << timeOf(next_) << '\n';
}

}  // namespace stepctl
