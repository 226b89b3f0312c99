#include "Frames.h"

#include <gtest/gtest.h>

#include <string>

#include "FrameHex.h"
#include "PinMap.h"

namespace stepctl {
namespace {

constexpr auto kSerial = Interface::Serial;
constexpr auto kParallel = Interface::LatchedParallel;
constexpr auto kAddressable = Interface::SerialAddressable;

std::string repeat(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

struct Worked {
    Interface iface;
    bool sevenBit;
    std::int32_t word;
    std::string hex;
};

TEST(Frames, WorkedSingleDeviceFrames) {
    const Worked cases[] = {
        {kSerial, false, 42, "40 60 00 20 40 60 00 20 40 60 00 20 00 08"},
        {kSerial, false, 0, "00 20 00 20 00 20 00 20 00 20 00 20 00 08"},
        {kSerial, true, 85, "40 60 00 20 40 60 00 20 40 60 00 20 40 60 00 20 00 08"},
        {kSerial, true, 127, "40 60 40 60 40 60 40 60 40 60 40 60 40 60 00 20 00 08"},
        {kParallel, false, 42, "00 C4 CC C4"},
        {kParallel, false, 63, "00 F6 FE F6"},
        {kParallel, true, 85, "00 C5 CD C5"},
        {kParallel, true, 127, "00 F7 FF F7"},
        {kAddressable, false, 1322,
         "40 60 00 20 40 60 00 20 40 60 00 20 40 60 00 20 40 60 00 00 00 08"},
        {kAddressable, false, 1792,
         "00 20 00 20 00 20 00 20 00 20 00 20 40 60 40 60 40 60 00 00 00 08"},
        {kAddressable, true, 1365,
         "40 60 00 20 40 60 00 20 40 60 00 20 40 60 00 20 40 60 00 20 40 60 00 20 00 20 00 20 00 "
         "20 00 20 00 08 00 00"},
        {kAddressable, true, 0, repeat("00 20 ", 16) + "00 08 00 00"},
    };
    for (const Worked& c : cases) {
        SCOPED_TRACE(std::string(frameKindName(singleFrameKind(c.iface, c.sevenBit))) + " word " +
                     std::to_string(c.word));
        EXPECT_EQ(hexOf(buildControlFrame(c.iface, c.sevenBit, c.word)),
                  hexOf(frameFromHex(c.hex)));
    }
}

TEST(Frames, WorkedDualFrames) {
    EXPECT_EQ(hexOf(buildDualFrame(42, 21)),
              hexOf(frameFromHex("40 60 00 20 40 60 00 20 40 60 00 20 00 08 00 20 40 60 00 20 40 "
                                 "60 00 20 40 60 00 10")));
    EXPECT_EQ(hexOf(buildDualFrame(63, 0)),
              hexOf(frameFromHex("40 60 40 60 40 60 40 60 40 60 40 60 00 08 00 20 00 20 00 20 00 "
                                 "20 00 20 00 20 00 10")));
    EXPECT_EQ(hexOf(buildDualFrame(0, 0)),
              hexOf(frameFromHex(repeat("00 20 ", 6) + "00 08 " + repeat("00 20 ", 6) + "00 10")));
}

int countSamplesWith(const Frame& f, std::uint8_t pin) {
    int n = 0;
    for (auto s : f)
        n += (s & pin) != 0;
    return n;
}

// Shape rules every frame keeps, over every code each width can carry and stray high bits.
TEST(Frames, EveryFrameLatchesOnceAndEndsLow) {
    for (Interface iface : kInterfaces) {
        for (bool seven : {false, true}) {
            for (std::int32_t word = -300; word < 2100; ++word) {
                const Frame f = buildControlFrame(iface, seven, word);
                ASSERT_EQ(countSamplesWith(f, pins::kLe), 1) << word;
                ASSERT_EQ(f[0] & (pins::kLe | pins::kClk), 0);
                ASSERT_EQ(f.back(), 0);
                if (iface == kParallel) {
                    ASSERT_EQ(f[0], 0);
                    ASSERT_EQ(f[1], f[3]);
                    ASSERT_EQ(f[2], f[1] | pins::kLe);
                    for (std::size_t i = 4; i < kFrameSize; ++i)
                        ASSERT_EQ(f[i], 0);
                    if (!seven) {
                        ASSERT_EQ(f[1] & pins::kD0, 0);
                    }
                    continue;
                }
                // D4 is a data line in the parallel frame, LE2 nowhere in a single-device one.
                ASSERT_EQ(countSamplesWith(f, pins::kLe2), 0) << word;
                if (seven) {
                    // The eighth code-byte position is always a 0 with a clock pulse.
                    ASSERT_EQ(f[14], iface == kAddressable || (word & 0x80) == 0 ? 0x00 : 0x40);
                    ASSERT_EQ(f[15], f[14] | pins::kClk);
                }
            }
        }
    }
    for (std::int32_t a = -70; a < 140; a += 3) {
        for (std::int32_t b = -70; b < 140; b += 5) {
            const Frame f = buildDualFrame(a, b);
            ASSERT_EQ(countSamplesWith(f, pins::kLe), 1);
            ASSERT_EQ(countSamplesWith(f, pins::kLe2), 1);
            ASSERT_EQ(f[13], pins::kLe);
            ASSERT_EQ(f[27], pins::kLe2);
            for (std::size_t i = 28; i < kFrameSize; ++i)
                ASSERT_EQ(f[i], 0);
        }
    }
}

TEST(Frames, DualHalvesOfEqualCodesDifferOnlyInTheLatch) {
    for (std::int32_t code = 0; code <= 63; ++code) {
        const Frame f = buildDualFrame(code, code);
        for (std::size_t i = 0; i < 13; ++i)
            ASSERT_EQ(f[i], f[i + 14]) << code;
    }
}

TEST(Frames, HighBitsOfTheControlWordAreIgnored) {
    // Bits 11 and up never show; an address only shows in the addressable frames.
    for (Interface iface : kInterfaces) {
        for (bool seven : {false, true}) {
            const Frame plain = buildControlFrame(iface, seven, 0x255);
            EXPECT_EQ(buildControlFrame(iface, seven, 0x7FFFFA55), plain);
            if (iface != kAddressable) {
                EXPECT_EQ(buildControlFrame(iface, seven, 0x55), plain);
            }
        }
    }
}

}  // namespace
}  // namespace stepctl
