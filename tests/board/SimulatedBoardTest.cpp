#include "SimulatedBoard.h"

#include <gtest/gtest.h>

#include "Exchange.h"
#include "Frames.h"
#include "SelectionState.h"

namespace stepctl {
namespace {

AttenuatorSetup device(Group group, Interface mode, int address = 0) {
    return {group, mode, address, pins::kLe, "dut"};
}

// Every code of every width and interface goes in and comes out of the modelled device.
TEST(SimulatedBoard, LatchesEveryCodeOfEveryWidthAndInterface) {
    for (Interface iface : {Interface::Serial, Interface::LatchedParallel}) {
        for (Group group : {Group::SixBit, Group::SevenBit}) {
            const bool seven = group == Group::SevenBit;
            SimulatedBoard board({device(group, iface)});
            for (int code = 0; code <= groupTraits(group).topCode; ++code) {
                const auto kind = singleFrameKind(iface, seven);
                ASSERT_TRUE(
                    transferFrame(board, kind, buildControlFrame(iface, seven, code)).sent());
                ASSERT_EQ(board.attenuators()[0].code(), code) << frameKindName(kind);
            }
            EXPECT_EQ(board.attenuators()[0].latches(), groupTraits(group).topCode + 1);
        }
    }
}

TEST(SimulatedBoard, AddressableBusLatchesOnlyTheAddressedDevice) {
    for (Group group : {Group::SixBit, Group::SevenBit}) {
        const bool seven = group == Group::SevenBit;
        SimulatedBoard board(
            SimulatedBoard::setupFor(seven ? 12 : 7, Interface::SerialAddressable));
        ASSERT_EQ(board.attenuators().size(), 8u);
        for (int address = 0; address < 8; ++address) {
            for (int code : {0, 1, 21, 42, 63, seven ? 85 : 62, seven ? 127 : 33}) {
                const Frame f =
                    buildControlFrame(Interface::SerialAddressable, seven, address * 256 + code);
                ASSERT_TRUE(transferFrame(board, FrameKind::Addressable6, f).sent());
                for (const auto& att : board.attenuators()) {
                    if (att.setup().address == address) {
                        ASSERT_EQ(att.code(), code) << "address " << address;
                    }
                }
            }
        }
        // Each device latched only its own words: one with another address latches nothing.
        for (const auto& att : board.attenuators())
            EXPECT_EQ(att.latches(), 7);
    }
}

TEST(SimulatedBoard, DualDeviceLatchesEachCodeIntoItsOwnAttenuator) {
    SimulatedBoard board(SimulatedBoard::setupFor(kDualRow, Interface::LatchedParallel));
    ASSERT_EQ(board.attenuators().size(), 2u);
    for (int a = 0; a <= 63; a += 3) {
        for (int b = 63; b >= 0; b -= 7) {
            ASSERT_TRUE(transferFrame(board, FrameKind::Dual, buildDualFrame(a, b)).sent());
            ASSERT_EQ(board.attenuators()[0].code(), a);
            ASSERT_EQ(board.attenuators()[1].code(), b);
        }
    }
    EXPECT_EQ(board.report()[1], "attenuator 2: code 0 (0.00 dB)");
}

TEST(SimulatedBoard, WrongFrameForTheDeviceLatchesWhatTheDeviceWouldSee) {
    // The dual device does not understand the addressable frame: its 6-bit register keeps the
    // last six bits shifted in, c2 c1 c0 A0 A1 A2.
    SimulatedBoard board(SimulatedBoard::setupFor(kDualRow, Interface::Serial));
    transferFrame(board, FrameKind::Addressable6,
                  buildControlFrame(Interface::SerialAddressable, false, 1 * 256 + 0b000101));
    EXPECT_EQ(board.attenuators()[0].code(), 0b101100);
    EXPECT_FALSE(board.attenuators()[1].code());
}

// A short write that stops before the latch sample: the device keeps what it held. (The fault
// at every call of an exchange is ExchangeTest's.)
TEST(SimulatedBoard, AShortWriteThatEndsBeforeTheLatchLatchesNothing) {
    // The 6-bit addressable frame latches at sample 21, beyond half the frame.
    SimulatedBoard board({device(Group::SixBit, Interface::SerialAddressable)});
    board.failCall(LinkOp::Write, Fault::ShortWrite);
    const Frame f = buildControlFrame(Interface::SerialAddressable, false, 42);
    EXPECT_EQ(transferFrame(board, FrameKind::Addressable6, f).status, SendStatus::TransferFailed);
    EXPECT_FALSE(board.attenuators()[0].code());
}

TEST(SimulatedBoard, FollowsTheSelectionAndKeepsStateWhileItDoesNotChange) {
    resetSelectionState();
    SimulatedBoard board;
    g_nDeviceIndex = 9;
    g_nInterface = 1;
    ASSERT_TRUE(transferFrame(board, FrameKind::Parallel7,
                              buildControlFrame(Interface::LatchedParallel, true, 99))
                    .sent());
    ASSERT_EQ(board.attenuators().size(), 1u);
    EXPECT_EQ(board.report()[0], "attenuator: code 99 (24.75 dB)");
    EXPECT_TRUE(probeConnection(board));  // same device: nothing changes
    EXPECT_EQ(board.attenuators()[0].code(), 99);

    g_nInterface = 2;
    EXPECT_TRUE(probeConnection(board));
    EXPECT_EQ(board.attenuators().size(), 8u);
    EXPECT_EQ(board.report()[5], "address 5: not latched");
    resetSelectionState();
}

}  // namespace
}  // namespace stepctl
