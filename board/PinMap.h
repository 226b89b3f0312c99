// The board's wiring: which data-bus pin of the FTDI chip carries which signal.
#pragma once

#include <array>
#include <cstdint>

namespace stepctl::pins {

inline constexpr std::uint8_t kD0 = 0x01;
inline constexpr std::uint8_t kD1 = 0x02;
inline constexpr std::uint8_t kD2 = 0x04;
inline constexpr std::uint8_t kD3 = 0x08;
inline constexpr std::uint8_t kD4 = 0x10;
inline constexpr std::uint8_t kD5 = 0x20;
inline constexpr std::uint8_t kD6 = 0x40;
inline constexpr std::uint8_t kD7 = 0x80;

// Serial frames (and the dual frame).
inline constexpr std::uint8_t kData = kD6;
inline constexpr std::uint8_t kClk = kD5;
inline constexpr std::uint8_t kLe = kD3;   // latch enable (first attenuator of the dual device)
inline constexpr std::uint8_t kLe2 = kD4;  // latch enable of the dual device's second attenuator

// Latched Parallel data lines by weight: index k carries 0.25 dB x 2^k.
// 0.25 -> D0, 0.5 -> D4, 1 -> D2, 2 -> D1, 4 -> D7, 8 -> D5, 16 -> D6.
inline constexpr std::array<std::uint8_t, 7> kParallelByWeight{kD0, kD4, kD2, kD1, kD7, kD5, kD6};

// Pin of code bit `bit` in the parallel frame: a 6-bit code's bit k weighs 0.5 x 2^k dB,
// a 7-bit code's 0.25 x 2^k dB, so the same weight always lands on the same pin.
constexpr std::uint8_t parallelPin(bool sevenBit, int bit) {
    return kParallelByWeight[static_cast<std::size_t>(sevenBit ? bit : bit + 1)];
}

}  // namespace stepctl::pins
