#include "Exchange.h"

#include <gtest/gtest.h>

#include "RecordingLink.h"
#include "SimulatedBoard.h"

namespace stepctl {
namespace {

using Ops = std::vector<LinkOp>;
constexpr auto O = LinkOp::Open, M = LinkOp::SetBitMode, B = LinkOp::SetBaudRate, W = LinkOp::Write,
               C = LinkOp::Close;

TEST(Exchange, ProbeOnlyOpensAndCloses) {
    RecordingLink link;
    EXPECT_TRUE(probeConnection(link));
    EXPECT_EQ(link.ops(), (Ops{O, C}));

    SimulatedBoard absent;
    absent.plug(false);
    RecordingLink toAbsent(absent);
    EXPECT_FALSE(probeConnection(toAbsent));
    EXPECT_EQ(toAbsent.ops(), (Ops{O}));

    SimulatedBoard failing;
    failing.failCall(LinkOp::Open);  // any failure of the open counts as no board
    EXPECT_FALSE(probeConnection(failing));
}

TEST(Exchange, TransferConfiguresThenWritesTheWholeFrameOnce) {
    RecordingLink link;
    const Frame frame = buildControlFrame(Interface::Serial, false, 42);
    const SendOutcome out = transferFrame(link, FrameKind::Serial6, frame);
    EXPECT_TRUE(out.sent());
    EXPECT_EQ(out.frame, frame);
    ASSERT_EQ(link.ops(), (Ops{O, M, B, W, C}));
    EXPECT_EQ(link.calls()[1].arg1, 0xFF);
    EXPECT_EQ(link.calls()[1].arg2, 1);
    EXPECT_EQ(link.calls()[2].arg1, 460800);
    EXPECT_EQ(link.calls()[3].bytes, std::vector<std::uint8_t>(frame.begin(), frame.end()));
}

struct FaultCase {
    LinkOp op;
    Fault fault;
    Ops calls;
    SendStatus status;
    const char* detail;
    bool latched;  // whether the device still took the frame
};

// A fault at each call: nothing after a failed open, a close after every successful one, and
// the outcome tells the truth.
TEST(Exchange, EveryFaultIsReportedAndAnOpenedDeviceIsClosed) {
    // clang-format off
    const FaultCase cases[] = {
        {O, Fault::Fail, {O}, SendStatus::NoDevice, "simulated open failure", false},
        {M, Fault::Fail, {O, M, B, W, C}, SendStatus::TransferFailed, "setting bit-bang mode failed",
         false},
        // At the old rate the samples still go out in order.
        {B, Fault::Fail, {O, M, B, W, C}, SendStatus::TransferFailed, "setting the rate failed", true},
        {W, Fault::Fail, {O, M, B, W, C}, SendStatus::TransferFailed, "write failed", false},
        // Half a serial 6-bit frame holds its latch sample (13); the outcome still says short.
        {W, Fault::ShortWrite, {O, M, B, W, C}, SendStatus::TransferFailed, "short write: 18 of 36",
         true},
        {C, Fault::Fail, {O, M, B, W, C}, SendStatus::Sent, "closing the device failed", true},
    };
    // clang-format on
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(std::string(linkOpName(c.op)));
        SimulatedBoard board({{Group::SixBit, Interface::Serial, 0, pins::kLe, "dut"}});
        board.failCall(c.op, c.fault);
        RecordingLink link(board);
        const SendOutcome out =
            transferFrame(link, FrameKind::Serial6, buildControlFrame(Interface::Serial, false, 7));
        EXPECT_EQ(link.ops(), c.calls);
        EXPECT_EQ(out.status, c.status);
        EXPECT_NE(out.detail.find(c.detail), std::string::npos) << out.detail;
        EXPECT_FALSE(board.isOpen());
        EXPECT_EQ(board.opens(), board.closes());
        EXPECT_EQ(board.attenuators()[0].code().has_value(), c.latched);
    }
}

TEST(Exchange, FirstFailureIsTheOneReported) {
    SimulatedBoard board;
    board.failCall(LinkOp::SetBaudRate);
    board.failCall(LinkOp::Write);
    const SendOutcome out = transferFrame(board, FrameKind::Dual, buildDualFrame(1, 2));
    EXPECT_EQ(out.status, SendStatus::TransferFailed);
    EXPECT_EQ(out.detail, "setting the rate failed: simulated baud rate failure");
}

}  // namespace
}  // namespace stepctl
