#include "StreamVcd.h"

namespace stepctl {
namespace {

char idOf(std::size_t lane) {
    return static_cast<char>('!' + lane);
}

}  // namespace

VcdStream::VcdStream(std::ostream& out, FrameKind kind, long long samplesPerSecond,
                     const std::string& comment)
    : out_(out), lanes_(lanesFor(kind)), rate_(samplesPerSecond > 0 ? samplesPerSecond : 1) {
    out_ << "$version stepctl $end\n$comment " << comment << " $end\n$timescale 1ps $end\n"
         << "$scope module stepctl $end\n";
    for (std::size_t i = 0; i < lanes_.size(); ++i)
        out_ << "$var wire 1 " << idOf(i) << ' ' << lanes_[i].name << " $end\n";
    out_ << "$upscope $end\n$enddefinitions $end\n";
}

std::int64_t VcdStream::timeOf(std::uint64_t sample) const {
    // Exact to the picosecond: an hour at 1 MS/s is 3.6e15 ps, far inside 64 bits, but the
    // product before the division is not.
    __extension__ using Wide = unsigned __int128;
    const Wide ps =
        (static_cast<Wide>(sample) * 1'000'000'000'000ULL + static_cast<Wide>(rate_) / 2) /
        static_cast<Wide>(rate_);
    return static_cast<std::int64_t>(ps);
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
