#include "BitBangClock.h"

#include <cmath>

namespace stepctl {
namespace {

constexpr double kSampleClockHz = 48e6;  // 16 samples per tick of the 3 MHz reference / divisor
constexpr double kReferenceHz = 3e6;

}  // namespace

RateChoice chooseBitBangRate(ChipFamily family, long long samplesPerSecond) {
    RateChoice choice;
    const std::string asked = std::to_string(samplesPerSecond) + " samples/s";
    if (family == ChipFamily::Am) {
        choice.refusal = "an FT8U232AM has no bit-bang mode";
        return choice;
    }
    if (samplesPerSecond > kMaxStreamRate) {
        choice.refusal = asked + " is faster than full-speed USB can feed the chip (at most " +
                         std::to_string(kMaxStreamRate) + " samples/s, one byte each)";
        return choice;
    }
    if (samplesPerSecond < kMinStreamRate) {
        choice.refusal = asked + " is slower than the chip's slowest bit-bang clock (" +
                         std::to_string(kMinStreamRate) + " samples/s)";
        return choice;
    }
    // The nearest divisor in eighths.
    const double divisor =
        std::round(kSampleClockHz / static_cast<double>(samplesPerSecond) * 8.0) / 8.0;
    choice.rate.divisor = divisor;
    choice.rate.actualHz = kSampleClockHz / divisor;
    choice.rate.baudSetting = static_cast<int>(std::lround(kReferenceHz / divisor));
    choice.rate.confirmed = family == ChipFamily::R;
    return choice;
}

}  // namespace stepctl
