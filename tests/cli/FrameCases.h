// Frame command arguments with the frame the builders give for them: one or more per frame kind,
// covering every interface and width and the dual row's two roads.
#pragma once

#include <string>
#include <vector>

#include "Frames.h"

namespace stepctl::cli::test {

struct FrameCase {
    std::string args;  // after "frame "
    FrameKind kind;
    Frame frame;
    std::vector<int> codes;  // what the frame carries
    int address = 0;         // addressable frames only
};

inline std::vector<FrameCase> frameCases() {
    const auto single = [](Interface iface, bool seven, int address, int code) {
        return buildControlFrame(iface, seven, address * 256 + code);
    };
    using enum Interface;
    using enum FrameKind;
    // clang-format off
    return {
        {"--device 3 --interface serial --db 21", Serial6, single(Serial, false, 0, 42), {42}},
        {"--device ZMG-A1 --interface serial --db 0", Serial6, single(Serial, false, 0, 0), {0}},
        {"--device 9 --interface serial --db 21.25", Serial7, single(Serial, true, 0, 85), {85}},
        {"--device 10 --interface serial --db 31.75", Serial7, single(Serial, true, 0, 127), {127}},
        {"--device 3 --interface parallel --db 31.5", Parallel6,
         single(LatchedParallel, false, 0, 63), {63}},
        {"--device 9 --interface parallel --db 21.25", Parallel7,
         single(LatchedParallel, true, 0, 85), {85}},
        {"--device 7 --interface addressable --address 5 --db 21", Addressable6,
         single(SerialAddressable, false, 5, 42), {42}, 5},
        {"--device 7 --interface addressable --address 6 --db 0.5", Addressable6,
         single(SerialAddressable, false, 6, 1), {1}, 6},
        {"--device 11 --interface addressable --address 5 --db 21.25", Addressable7,
         single(SerialAddressable, true, 5, 85), {85}, 5},
        {"--device 12 --interface addressable --address 3 --db 0.25", Addressable7,
         single(SerialAddressable, true, 3, 1), {1}, 3},
        {"--device 14 --interface serial --db 21 --db2 10.5", Dual, buildDualFrame(42, 21),
         {42, 21}},
        {"--device 14 --interface parallel --db 31.5 --db2 0.5", Dual, buildDualFrame(63, 1),
         {63, 1}},
        {"--device 14 --interface addressable --address 3 --db 21", Addressable6,
         single(SerialAddressable, false, 3, 42), {42}, 3},
    };
    // clang-format on
}

}  // namespace stepctl::cli::test
