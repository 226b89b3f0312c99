#include "SendRoutines.h"

#include <gtest/gtest.h>

#include "FrameHex.h"
#include "RecordingLink.h"
#include "SelectionState.h"
#include "SimulatedBoard.h"

namespace stepctl {
namespace {

class SendRoutines : public ::testing::Test {
  protected:
    void SetUp() override {
        resetSelectionState();
        setBoardLink(&link);
    }
    void TearDown() override {
        setBoardLink(nullptr);
        resetSelectionState();
    }

    RecordingLink link;
};

TEST_F(SendRoutines, SingleFrameTakesInterfaceFromTheSelectionAndWidthFromTheRow) {
    g_nDeviceIndex = 9;
    g_nInterface = 1;
    g_bSevenBit = 0;  // stale value from an earlier row: rewritten before use
    const SendOutcome out = SendControlWord(85);
    EXPECT_EQ(g_bSevenBit, 1);
    EXPECT_EQ(out.kind, FrameKind::Parallel7);
    EXPECT_EQ(lastWrite(link), buildControlFrame(Interface::LatchedParallel, true, 85));

    g_nDeviceIndex = 2;
    g_nInterface = 0;
    SendControlWord(42);
    EXPECT_EQ(g_bSevenBit, 0);
    EXPECT_EQ(lastWrite(link), buildControlFrame(Interface::Serial, false, 42));
}

TEST_F(SendRoutines, DualRowWithAddressableUsesTheSixBitAddressableFrame) {
    g_nDeviceIndex = kDualRow;
    g_nInterface = 2;
    g_bSevenBit = 1;
    const SendOutcome out = SendControlWord(5 * 256 + 42);
    EXPECT_EQ(g_bSevenBit, 0);
    EXPECT_EQ(out.kind, FrameKind::Addressable6);
    EXPECT_EQ(lastWrite(link), buildControlFrame(Interface::SerialAddressable, false, 1322));
}

TEST_F(SendRoutines, DualFrameIgnoresTheSelection) {
    for (int iface : {0, 1}) {
        for (int seven : {0, 1}) {
            g_nInterface = iface;
            g_bSevenBit = seven;
            g_nDeviceIndex = kDualRow;
            SendDualControlWord(42, 21);
            EXPECT_EQ(lastWrite(link), buildDualFrame(42, 21));
            EXPECT_EQ(g_bSevenBit, seven);
            EXPECT_EQ(g_nInterface, iface);
        }
    }
}

TEST_F(SendRoutines, NoBoardMeansNoWriteAndAnHonestOutcome) {
    SimulatedBoard absent;
    absent.plug(false);
    RecordingLink recorded(absent);
    setBoardLink(&recorded);
    g_nDeviceIndex = 3;
    const SendOutcome out = SendControlWord(21);
    EXPECT_EQ(out.status, SendStatus::NoDevice);
    EXPECT_EQ(recorded.ops(), std::vector<LinkOp>{LinkOp::Open});
    EXPECT_EQ(out.frame, buildControlFrame(Interface::Serial, false, 21));  // still built
    EXPECT_FALSE(probeBoard());
}

}  // namespace
}  // namespace stepctl
