#include "Frames.h"

#include <initializer_list>
#include <utility>

#include "PinMap.h"

namespace stepctl {
namespace {

bool bitOf(std::uint32_t word, int bit) {
    return ((word >> bit) & 1u) != 0;
}

// Writes bits with the serial timing: DATA set up while CLK is low, held while CLK is high.
class Shifter {
  public:
    explicit Shifter(Frame& frame) : frame_(frame) {}

    void bit(bool value) {
        const std::uint8_t data = value ? pins::kData : 0;
        frame_[pos_++] = data;
        frame_[pos_++] = static_cast<std::uint8_t>(data | pins::kClk);
    }
    // Bits first..last of word, walking down (most significant first) or up.
    void bits(std::uint32_t word, int first, int last) {
        const int step = first <= last ? 1 : -1;
        for (int b = first;; b += step) {
            bit(bitOf(word, b));
            if (b == last)
                break;
        }
    }
    void low(std::size_t samples) { pos_ += samples; }  // the frame starts zeroed
    void latch(std::uint8_t lePin) { frame_[pos_++] = lePin; }

  private:
    Frame& frame_;
    std::size_t pos_ = 0;
};

void fillParallel(Frame& frame, bool sevenBit, std::uint32_t word) {
    std::uint8_t lines = 0;
    const int width = sevenBit ? 7 : 6;
    for (int b = 0; b < width; ++b) {
        if (bitOf(word, b)) {
            lines = static_cast<std::uint8_t>(lines | pins::parallelPin(sevenBit, b));
        }
    }
    frame[1] = lines;
    frame[2] = static_cast<std::uint8_t>(lines | pins::kLe);
    frame[3] = lines;
}

}  // namespace

FrameKind singleFrameKind(Interface iface, bool sevenBit) {
    switch (iface) {
        case Interface::LatchedParallel:
            return sevenBit ? FrameKind::Parallel7 : FrameKind::Parallel6;
        case Interface::SerialAddressable:
            return sevenBit ? FrameKind::Addressable7 : FrameKind::Addressable6;
        case Interface::Serial:
            break;
    }
    return sevenBit ? FrameKind::Serial7 : FrameKind::Serial6;
}

std::string_view frameKindName(FrameKind kind) {
    switch (kind) {
        case FrameKind::Serial6:
            return "serial-6";
        case FrameKind::Serial7:
            return "serial-7";
        case FrameKind::Parallel6:
            return "parallel-6";
        case FrameKind::Parallel7:
            return "parallel-7";
        case FrameKind::Addressable6:
            return "addressable-6";
        case FrameKind::Addressable7:
            return "addressable-7";
        case FrameKind::Dual:
            break;
    }
    return "dual";
}

bool isSerialKind(FrameKind kind) {
    return kind != FrameKind::Parallel6 && kind != FrameKind::Parallel7;
}

bool isSevenBitKind(FrameKind kind) {
    return kind == FrameKind::Serial7 || kind == FrameKind::Parallel7 ||
           kind == FrameKind::Addressable7;
}

// Every path fills and returns the one named frame, so it is built in the caller's storage.
Frame buildControlFrame(Interface iface, bool sevenBit, std::int32_t controlWord) {
    const auto word = static_cast<std::uint32_t>(controlWord);
    Frame frame{};
    if (iface == Interface::LatchedParallel) {
        fillParallel(frame, sevenBit, word);
        return frame;
    }
    Shifter out(frame);
    switch (singleFrameKind(iface, sevenBit)) {
        case FrameKind::Serial6:
            out.bits(word, 5, 0);
            break;
        case FrameKind::Serial7:
            out.bits(word, 0, 7);
            break;
        case FrameKind::Addressable6:
            out.bits(word, 5, 0);
            out.bits(word, 8, 10);
            out.low(2);  // this device wants two more idle samples before the latch
            break;
        case FrameKind::Addressable7:
            // A 16-bit word, least significant bit first: code c0..c6, a 0, address, five 0s.
            out.bits(word, 0, 6);
            out.bit(false);
            out.bits(word, 8, 10);
            for (int i = 0; i < 5; ++i)
                out.bit(false);
            break;
        case FrameKind::Parallel6:
        case FrameKind::Parallel7:
        case FrameKind::Dual:
            break;
    }
    out.low(1);
    out.latch(pins::kLe);
    return frame;
}

Frame buildDualFrame(std::int32_t code1, std::int32_t code2) {
    Frame frame{};
    Shifter out(frame);
    for (const auto& [code, le] : {std::pair{code1, pins::kLe}, std::pair{code2, pins::kLe2}}) {
        out.bits(static_cast<std::uint32_t>(code), 5, 0);
        out.low(1);
        out.latch(le);
    }
    return frame;
}

}  // namespace stepctl
