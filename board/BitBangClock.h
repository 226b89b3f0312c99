// What rate setting gives a wanted sample rate in asynchronous bit-bang mode, and which sample
// rates a timed stream may ask for. Pure.
//
// The chip's baud generator divides a 3 MHz reference (its 48 MHz clock / 16) by n + k/8,
// n = 2..16383, k = 0..7 (FTDI AN232B-05). In asynchronous bit-bang mode an FT232R or FT245R
// puts out 16 samples per baud-rate tick (FTDI AN232R-01), so a setting of B gives 16 x B
// samples a second: 48 MHz / divisor. For the other families the relation is assumed the same
// and the result says it is not confirmed.
#pragma once

#include <string>

#include "ChipFamily.h"

namespace stepctl {

// Full-speed USB moves at most about 1 MByte/s to an FTDI chip through D2XX (FTDI's data
// sheets of the full-speed chips): one byte is one sample, so no stream may be faster.
inline constexpr long long kMaxStreamRate = 1'000'000;
// Ten times below that ceiling: the host has a whole USB frame (1 ms) of margin many times over.
inline constexpr long long kDefaultStreamRate = 100'000;
// The slowest clock: the largest divisor, 16383.875.
inline constexpr long long kMinStreamRate = 2930;

struct BitBangRate {
    int baudSetting = 0;     // what FT_SetBaudRate / the link's setBaudRate is given
    double divisor = 0.0;    // what the chip will divide its 3 MHz reference by
    double actualHz = 0.0;   // the sample rate that divisor gives
    bool confirmed = false;  // the relation is from the family's own documents
};

// The setting for `samplesPerSecond` on `family`, or the reason there is none (empty then).
struct RateChoice {
    BitBangRate rate;
    std::string refusal;  // why this rate cannot be streamed; empty when it can
};

RateChoice chooseBitBangRate(ChipFamily family, long long samplesPerSecond);

}  // namespace stepctl
