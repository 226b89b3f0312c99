#include "Frames.h"

#include <bit>
#include <cstring>
#include <initializer_list>

#include "PinMap.h"

namespace stepctl {
namespace {

// The serial frames, as the frame table gives them (c0..c7: code bits, A0..A2: address bits,
// 0: a bit that is always 0). Each bit takes two samples; then come the all-low samples, one
// sample with the latch pin high, and low samples to the end.
//
//   serial-6       c5 c4 c3 c2 c1 c0                   1 low, LE
//   serial-7       c0 c1 c2 c3 c4 c5 c6 c7             1 low, LE
//   addressable-6  c5 c4 c3 c2 c1 c0 A0 A1 A2          3 low, LE
//   addressable-7  c0 .. c6 0 A0 A1 A2 0 0 0 0 0       1 low, LE
//   dual           c5 .. c0 of the first code          1 low, LE
//                  c5 .. c0 of the second code         1 low, LE2
//
// A frame is built as its clock and latch pulses, worked out once below, with the bits sent put
// on DATA: bit k of `sent` is the k-th bit in the list.

// Serial shift timing: DATA set up while CLK is low (first sample), held while CLK is high.
constexpr std::size_t kSamplesPerBit = 2;

struct Run {
    int bits;
    int lowSamples;  // all pins low between the last clock pulse and the latch
    std::uint8_t le;
};

// The frame of runs whose bits are all 0: the clock pulses and the latch pulses.
constexpr Frame pulses(std::initializer_list<Run> runs) {
    Frame frame{};
    std::size_t pos = 0;
    for (const Run& run : runs) {
        for (int b = 0; b < run.bits; ++b) {
            frame[pos + 1] = pins::kClk;
            pos += kSamplesPerBit;
        }
        pos += static_cast<std::size_t>(run.lowSamples);
        frame[pos++] = run.le;
    }
    return frame;
}

constexpr Run kSixBitRun{6, 1, pins::kLe};
constexpr Frame kSerial6Pulses = pulses({kSixBitRun});
constexpr Frame kSerial7Pulses = pulses({{8, 1, pins::kLe}});
constexpr Frame kAddressable6Pulses = pulses({{9, 3, pins::kLe}});
constexpr Frame kAddressable7Pulses = pulses({{16, 1, pins::kLe}});
constexpr Frame kDualPulses = pulses({kSixBitRun, {6, 1, pins::kLe2}});
// The dual frame's second run follows the first one's bits, its low sample and its LE sample.
constexpr std::size_t kDualSecondRun = 6 * kSamplesPerBit + 2;

// DATA of four bits in a row, by their values (bit k of the index is the k-th of them): both
// samples of a 1 carry DATA. Samples are bytes, so sample k sits in bits 8k..8k+7.
constexpr std::array<std::uint64_t, 16> kDataOfFourBits = [] {
    std::array<std::uint64_t, 16> table{};
    for (unsigned bits = 0; bits < 16; ++bits) {
        for (unsigned k = 0; k < 4; ++k) {
            if (((bits >> k) & 1u) != 0)
                table[bits] |= std::uint64_t{pins::kData * 0x0101u} << (16 * k);
        }
    }
    return table;
}();

// Puts `count` bits of `sent` on DATA from sample `first` on, four bits (eight samples) at a
// time. The samples are taken from `pulses`, not from `frame`, so the frame is only written:
// reading back bytes just stored one by one would stall the processor. Where eight samples reach
// into the next run they are copied from the pulses unchanged, before that run is put.
void putData(Frame& frame, const Frame& pulses, std::size_t first, std::uint32_t sent, int count) {
    static_assert(std::endian::native == std::endian::little, "sample k is byte k of the word");
#pragma GCC unroll 4
    for (int k = 0; k < count; k += 4) {
        const std::size_t at = first + kSamplesPerBit * static_cast<std::size_t>(k);
        std::uint64_t levels = 0;
        std::memcpy(&levels, pulses.data() + at, sizeof levels);
        levels |= kDataOfFourBits[(sent >> k) & 15u];
        std::memcpy(frame.data() + at, &levels, sizeof levels);
    }
}

// A single-device serial frame: its pulses with the bits sent on DATA.
Frame serialFrame(const Frame& pulses, std::uint32_t sent, int count) {
    Frame frame = pulses;
    putData(frame, pulses, 0, sent, count);
    return frame;
}

// A 6-bit code sent most significant bit first, as bits in the order sent.
constexpr std::array<std::uint8_t, 64> kMsbFirst = [] {
    std::array<std::uint8_t, 64> table{};
    for (unsigned code = 0; code < 64; ++code) {
        for (unsigned k = 0; k < 6; ++k)
            table[code] = static_cast<std::uint8_t>(table[code] | ((code >> (5 - k)) & 1u) << k);
    }
    return table;
}();

std::uint32_t msbFirst(std::uint32_t code) {
    return kMsbFirst[code & 63u];
}

// The data lines of every code, by the pin map: [0] 6-bit codes, [1] 7-bit codes.
constexpr std::array<std::array<std::uint8_t, 128>, 2> kParallelLines = [] {
    std::array<std::array<std::uint8_t, 128>, 2> table{};
    for (const bool sevenBit : {false, true}) {
        for (unsigned code = 0; code < 128; ++code) {
            for (int b = 0; b < (sevenBit ? 7 : 6); ++b) {
                if (((code >> b) & 1u) != 0)
                    table[sevenBit][code] |= pins::parallelPin(sevenBit, b);
            }
        }
    }
    return table;
}();

// No clock: the code's data lines for three samples, LE high in the middle one.
Frame parallelFrame(bool sevenBit, std::uint32_t word) {
    const std::uint8_t lines = kParallelLines[sevenBit][word & (sevenBit ? 127u : 63u)];
    Frame frame{};
    frame[1] = lines;
    frame[2] = static_cast<std::uint8_t>(lines | pins::kLe);
    frame[3] = lines;
    return frame;
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

// Every path returns a frame made by a builder, so it is built in the caller's storage.
Frame buildControlFrame(Interface iface, bool sevenBit, std::int32_t controlWord) {
    const auto word = static_cast<std::uint32_t>(controlWord);
    const std::uint32_t address = (word >> 8) & 7u;
    switch (singleFrameKind(iface, sevenBit)) {
        case FrameKind::Serial6:  // c5 .. c0
            return serialFrame(kSerial6Pulses, msbFirst(word), 6);
        case FrameKind::Serial7:  // c0 .. c7
            return serialFrame(kSerial7Pulses, word & 0xFFu, 8);
        case FrameKind::Addressable6:  // c5 .. c0, A0 A1 A2
            return serialFrame(kAddressable6Pulses, msbFirst(word) | address << 6, 9);
        case FrameKind::Addressable7:  // c0 .. c6, 0, A0 A1 A2, five 0s
            return serialFrame(kAddressable7Pulses, (word & 0x7Fu) | address << 8, 16);
        case FrameKind::Parallel6:
        case FrameKind::Parallel7:
        case FrameKind::Dual:  // not a single-device kind
            break;
    }
    return parallelFrame(sevenBit, word);
}

Frame buildDualFrame(std::int32_t code1, std::int32_t code2) {
    Frame frame = kDualPulses;
    putData(frame, kDualPulses, 0, msbFirst(static_cast<std::uint32_t>(code1)), 6);
    putData(frame, kDualPulses, kDualSecondRun, msbFirst(static_cast<std::uint32_t>(code2)), 6);
    return frame;
}

std::string frameHex(const Frame& frame) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(frame.size() * 3);
    for (std::uint8_t byte : frame) {
        if (!text.empty())
            text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

}  // namespace stepctl
