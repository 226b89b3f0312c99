// The 36-sample pin-state frames. Pure functions: data in, 36 bytes out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Catalogue.h"

namespace stepctl {

inline constexpr std::size_t kFrameSize = 36;

// Byte i is sample i; bit n is the level of pin Dn during that sample.
using Frame = std::array<std::uint8_t, kFrameSize>;

enum class FrameKind { Serial6, Serial7, Parallel6, Parallel7, Addressable6, Addressable7, Dual };

inline constexpr std::array<FrameKind, 7> kFrameKinds{
    FrameKind::Serial6,      FrameKind::Serial7,      FrameKind::Parallel6, FrameKind::Parallel7,
    FrameKind::Addressable6, FrameKind::Addressable7, FrameKind::Dual};

FrameKind singleFrameKind(Interface iface, bool sevenBit);
std::string_view frameKindName(FrameKind kind);  // "serial-6", ..., "dual"
bool isSerialKind(FrameKind kind);               // shifted with DATA and CLK
bool isSevenBitKind(FrameKind kind);

// Single-device frame. controlWord: code in bits 0..7, address in bits 8..10 (Serial
// Addressable only); higher bits are ignored.
Frame buildControlFrame(Interface iface, bool sevenBit, std::int32_t controlWord);

// Dual-device frame: the first code latched by LE, then the second by LE2 (bits 0..5 of each).
Frame buildDualFrame(std::int32_t code1, std::int32_t code2);

// The 36 bytes as upper-case two-digit hex, separated by single spaces, no line end.
std::string frameHex(const Frame& frame);

}  // namespace stepctl
