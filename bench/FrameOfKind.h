// One frame of each kind from one word, for the figures that time or count every kind alike.
#pragma once

#include <cstdint>

#include "Frames.h"

namespace stepctl::bench {

inline Frame frameOfKind(FrameKind kind, std::int32_t word) {
    switch (kind) {
        case FrameKind::Serial6:
            return buildControlFrame(Interface::Serial, false, word);
        case FrameKind::Serial7:
            return buildControlFrame(Interface::Serial, true, word);
        case FrameKind::Parallel6:
            return buildControlFrame(Interface::LatchedParallel, false, word);
        case FrameKind::Parallel7:
            return buildControlFrame(Interface::LatchedParallel, true, word);
        case FrameKind::Addressable6:
            return buildControlFrame(Interface::SerialAddressable, false, word);
        case FrameKind::Addressable7:
            return buildControlFrame(Interface::SerialAddressable, true, word);
        case FrameKind::Dual:
            break;
    }
    // The dual frame's second code from other bits of the word, so the two latches differ.
    return buildDualFrame(word, word >> 3);
}

}  // namespace stepctl::bench
