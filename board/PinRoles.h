// What each pin means in a given frame: the lanes a timing diagram or a VCD file shows.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "Frames.h"

namespace stepctl {

struct PinLane {
    int pin;                 // n of Dn
    std::uint8_t mask;       // 1 << pin
    std::string_view name;   // role in the frame: DATA, CLK, LE, LE2, dB16 ... dB0p25
    std::string_view label;  // how a person reads it: "DATA", ..., "16 dB" ... "0.25 dB"
};

// The pins a frame kind uses, top to bottom: data before clock before latch for the serial
// frames, the data lines by falling weight then LE for the parallel ones. Parallel weights are
// named dB16, dB8, dB4, dB2, dB1, dB0p5 and dB0p25 so that every tool reads them as plain names;
// their labels are "16 dB" ... "0.25 dB".
std::vector<PinLane> lanesFor(FrameKind kind);

// All eight pins by their plain names D0..D7, D0 first.
std::vector<PinLane> plainLanes();

}  // namespace stepctl
