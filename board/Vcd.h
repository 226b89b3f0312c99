// A frame as a Value Change Dump, for GTKWave, PulseView and sigrok's decoders.
#pragma once

#include <cstdint>
#include <string>

#include "Frames.h"

namespace stepctl {

// An FT232R in asynchronous bit-bang mode clocks its samples at 16 times the baud setting:
// 460800 gives 7.3728 million samples a second, 135.6 ns each. Other chips differ, hence the
// option. The file's time unit is the picosecond.
inline constexpr std::int64_t kDefaultSamplePeriodPs = 135634;

struct VcdOptions {
    std::int64_t samplePeriodPs = kDefaultSamplePeriodPs;
    bool plainPinNames = false;  // D0..D7 instead of the pins' roles in the frame
};

// One 1-bit wire per lane, every sample's changes at i x period, and a last timestamp one
// period after the final sample so that readers show it in full.
std::string frameToVcd(FrameKind kind, const Frame& frame, const VcdOptions& options = {});

}  // namespace stepctl
