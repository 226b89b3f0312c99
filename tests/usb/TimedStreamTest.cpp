// A timed stream over libftdi's asynchronous writes on the emulated FT232R: one open, one bit
// mode, one rate (the divisor of 6250 for 100 kS/s), then the stream in pieces, several in
// flight, arriving whole and in order.
#include "FtdiLink.h"
#include "FtdiWire.h"
#include "HopList.h"
#include "SendFixture.h"
#include "TimedRun.h"

namespace stepctl::usbtest {
namespace {

using namespace stepctl::session;

class TimedStreamOnUsb : public OnEmulatedChips {
  protected:
    void SetUp() override {
        OnEmulatedChips::SetUp();
        chip = bed.plug({});
    }

    TimedEnd stream(const char* list, long long passes) {
        Warnings warnings;
        plan.target = {3, Interface::Serial, 0, "", ""};  // ZMG-A4
        plan.steps = *readHopList(list, plan.target, std::chrono::nanoseconds(0), warnings, true);
        plan.passes = passes;
        BoardSession session(std::make_unique<FtdiLink>(), nullptr);
        return runTimed(session, plan, {100000, nullptr}, {}, {});
    }

    Bytes received() const {
        Bytes all;
        for (const Bytes& write : bed.bulkWrites(chip))
            all.insert(all.end(), write.begin(), write.end());
        return all;
    }

    ChipId chip = 0;
    StepPlan plan;
};

// 48 MHz / 480 = 100 kS/s: the plain divisor 480, no eighths.
constexpr SetupPacket kBaud6250{0x40, 0x03, 0x01E0, 0x0000, 0};

TEST_F(TimedStreamOnUsb, TheListGoesOutAfterOneModeAndOneRate) {
    const TimedEnd end = stream("10,1\n20.5,0.5\n31.5,2\n0,0.36\n7,1.234\n", 2);
    ASSERT_EQ(end.status, SendStatus::Sent) << end.detail;
    EXPECT_EQ(end.family, ChipFamily::R);
    EXPECT_EQ(bed.controlRequests(chip),
              (std::vector<SetupPacket>{wire::kSioReset, wire::kBaud9600, wire::kBitBangAllOutputs,
                                        kBaud6250}));
    Bytes pass;
    const std::pair<int, std::size_t> steps[] = {
        {20, 100}, {41, 50}, {63, 200}, {0, 36}, {14, 123}};
    for (const auto& [code, samples] : steps) {
        const Frame frame = buildControlFrame(Interface::Serial, false, code);
        pass.insert(pass.end(), frame.begin(), frame.end());
        pass.insert(pass.end(), samples - kFrameSize, 0);
    }
    Bytes want = pass;
    want.insert(want.end(), pass.begin(), pass.end());
    EXPECT_EQ(hex(received()), hex(want));
    EXPECT_EQ(end.steps, 10u);
    const HostActions actions = bed.hostActionsOnceClosed(chip);
    EXPECT_EQ(actions.opens, 1);
    EXPECT_EQ(actions.releases, 1);
}

TEST_F(TimedStreamOnUsb, ALongStreamArrivesWholeInPiecesInOrder) {
    // 60,000 samples: fifteen pieces, eight in flight at a time.
    const TimedEnd end = stream("10,100\n20,100\n", 3);
    ASSERT_EQ(end.status, SendStatus::Sent) << end.detail;
    EXPECT_EQ(end.samples, 60000u);
    const auto writes = bed.bulkWrites(chip);
    EXPECT_EQ(writes.size(), 15u);
    TimedStream expected(plan, 100000);
    Bytes want(60000);
    ASSERT_EQ(expected.fill(want), 60000u);
    EXPECT_TRUE(received() == want);
}

// As libftdi's blocking write does, a broken or stalled transfer fails the stream; the bytes
// before the break reached the pins, nothing after it is queued, and the chip is let go.
TEST_F(TimedStreamOnUsb, ABrokenOrStalledWriteEndsTheStreamAsAFailedTransfer) {
    for (const BusFault fault : {BusFault::brokenAfter(100), BusFault::stall()}) {
        bed.forgetTraffic();
        bed.failTransfer(chip, Target::bulkOut(2).everyTime(), fault);
        const TimedEnd end = stream("10,100\n20,100\n", 3);
        bed.clearFaults(chip);
        EXPECT_EQ(end.status, SendStatus::TransferFailed);
        EXPECT_LT(end.samples, 60000u);
        EXPECT_LT(bed.bulkWrites(chip).size(), 15u);
        EXPECT_FALSE(bed.hostActionsOnceClosed(chip).claimed);
    }
}

}  // namespace
}  // namespace stepctl::usbtest
