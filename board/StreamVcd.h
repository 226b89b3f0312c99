// A stream of pin samples as one Value Change Dump at its real timescale, written as the
// samples come, so a stream of any length never has to be held whole.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "Frames.h"
#include "PinRoles.h"

namespace stepctl {

class VcdStream {
  public:
    // The lanes of `kind`; sample i changes at i / samplesPerSecond, in the coarsest unit that
    // keeps every change exact (the sample period itself where it is one), else picoseconds.
    VcdStream(std::ostream& out, FrameKind kind, long long samplesPerSecond,
              const std::string& comment);

    void samples(std::span<const std::uint8_t> bytes);
    // The closing timestamp, one sample after the last, so that readers show it in full.
    void finish();

  private:
    std::int64_t timeOf(std::uint64_t sample) const;

    std::ostream& out_;
    std::vector<PinLane> lanes_;
    long long rate_;
    std::int64_t unitPs_ = 1;
    std::uint64_t next_ = 0;  // index of the next sample
    std::uint8_t before_ = 0;
};

}  // namespace stepctl
