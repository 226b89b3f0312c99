#include "PinRoles.h"

#include <array>
#include <bit>

#include "PinMap.h"

namespace stepctl {
namespace {

PinLane lane(std::uint8_t mask, std::string_view name, std::string_view label = {}) {
    return {std::countr_zero(mask), mask, name, label.empty() ? name : label};
}

// Names of the parallel weights, index k weighing 0.25 dB x 2^k like pins::kParallelByWeight.
constexpr std::array<std::string_view, 7> kWeightNames{"dB0p25", "dB0p5", "dB1", "dB2",
                                                       "dB4",    "dB8",   "dB16"};
constexpr std::array<std::string_view, 7> kWeightLabels{"0.25 dB", "0.5 dB", "1 dB", "2 dB",
                                                        "4 dB",    "8 dB",   "16 dB"};

}  // namespace

std::vector<PinLane> lanesFor(FrameKind kind) {
    if (isSerialKind(kind)) {
        std::vector<PinLane> lanes{lane(pins::kData, "DATA"), lane(pins::kClk, "CLK"),
                                   lane(pins::kLe, "LE")};
        if (kind == FrameKind::Dual)
            lanes.push_back(lane(pins::kLe2, "LE2"));
        return lanes;
    }
    std::vector<PinLane> lanes;
    // A 6-bit code has no 0.25 dB line.
    const std::size_t lowest = isSevenBitKind(kind) ? 0 : 1;
    for (std::size_t k = kWeightNames.size(); k-- > lowest;) {
        lanes.push_back(lane(pins::kParallelByWeight[k], kWeightNames[k], kWeightLabels[k]));
    }
    lanes.push_back(lane(pins::kLe, "LE"));
    return lanes;
}

std::vector<PinLane> plainLanes() {
    static constexpr std::array<std::string_view, 8> kNames{"D0", "D1", "D2", "D3",
                                                            "D4", "D5", "D6", "D7"};
    std::vector<PinLane> lanes;
    for (int pin = 0; pin < 8; ++pin) {
        const std::string_view name = kNames[static_cast<std::size_t>(pin)];
        lanes.push_back({pin, static_cast<std::uint8_t>(1u << pin), name, name});
    }
    return lanes;
}

}  // namespace stepctl
