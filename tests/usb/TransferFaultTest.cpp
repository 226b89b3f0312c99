// Transfers that go wrong on the bus: what the send routines report and what reached the chip.
#include "FtdiWire.h"
#include "SendFixture.h"
#include "SimulatedBoard.h"

namespace stepctl::usbtest {
namespace {

constexpr std::uint8_t kSetBitMode = 0x0B;
constexpr std::uint8_t kSioReset = 0x00;

class TransferFault : public OnEmulatedChips {
  protected:
    void SetUp() override {
        OnEmulatedChips::SetUp();
        g_nDeviceIndex = 2;  // a 6-bit row, Serial
        chip = bed.plug({});
    }

    std::vector<Transfer> bulkTransfers() const {
        std::vector<Transfer> out;
        for (const Transfer& t : bed.transfers(chip)) {
            if (t.kind == Transfer::Kind::BulkOut)
                out.push_back(t);
        }
        return out;
    }
    // The pins as an attenuator on the board sees them, byte after byte, from idle.
    std::optional<int> latchedCode() const {
        SimulatedAttenuator attenuator({});
        std::uint8_t before = 0;
        for (const auto& write : bed.bulkWrites(chip)) {
            for (std::uint8_t now : write) {
                attenuator.sample(before, now);
                before = now;
            }
        }
        return attenuator.code();
    }

    ChipId chip = 0;
    const Frame frame = buildControlFrame(Interface::Serial, false, 42);
};

TEST_F(TransferFault, AStalledWriteIsReportedAndTheInterfaceReleased) {
    bed.failTransfer(chip, Target::bulkOut(), BusFault::stall());

    const SendOutcome out = SendControlWord(42);

    EXPECT_EQ(out.status, SendStatus::TransferFailed);
    EXPECT_EQ(out.detail, "write failed: usb bulk write failed");
    const auto bulk = bulkTransfers();
    ASSERT_EQ(bulk.size(), 1u);  // libftdi does not try again
    EXPECT_EQ(bulk[0].status, -EPIPE);
    EXPECT_EQ(bulk[0].accepted, 0u);
    EXPECT_EQ(bed.hostActions(chip).releases, 1);
    EXPECT_EQ(latchedCode(), std::nullopt);
}

TEST_F(TransferFault, AWriteBrokenOffIsReportedThoughPartOfTheFrameWentOut) {
    bed.failTransfer(chip, Target::bulkOut(), BusFault::brokenAfter(20));

    const SendOutcome out = SendControlWord(42);

    EXPECT_EQ(out.status, SendStatus::TransferFailed);
    EXPECT_EQ(out.detail, "write failed: usb bulk write failed");
    const auto bulk = bulkTransfers();
    ASSERT_EQ(bulk.size(), 1u);
    EXPECT_EQ(bulk[0].accepted, 20u);
    EXPECT_EQ(bed.hostActions(chip).releases, 1);
    // The serial 6-bit frame latches at sample 13: the board took the code before the break.
    EXPECT_EQ(latchedCode(), 42);
}

TEST_F(TransferFault, AShortUrbIsCompletedByLibftdiWithASecondWriteOfTheRest) {
    bed.failTransfer(chip, Target::bulkOut(), BusFault::shortWrite(20));

    const SendOutcome out = SendControlWord(42);

    EXPECT_EQ(out.status, SendStatus::Sent) << out.detail;
    const auto bulk = bulkTransfers();
    ASSERT_EQ(bulk.size(), 2u);
    EXPECT_EQ(bulk[0].payload, bytesOf(frame));
    EXPECT_EQ(bulk[0].accepted, 20u);
    EXPECT_EQ(bulk[1].payload, std::vector<std::uint8_t>(frame.begin() + 20, frame.end()));
    EXPECT_EQ(bulk[1].accepted, 16u);
    EXPECT_EQ(bed.controlRequests(chip), wire::frameTransferSequence());
    EXPECT_EQ(latchedCode(), 42);
}

TEST_F(TransferFault, AStalledBitModeRequestIsReportedAndTheFrameStillWritten) {
    bed.failTransfer(chip, Target::control(kSetBitMode), BusFault::stall());

    const SendOutcome out = SendControlWord(42);

    EXPECT_EQ(out.status, SendStatus::TransferFailed);
    EXPECT_EQ(out.detail.rfind("setting bit-bang mode failed", 0), 0u) << out.detail;
    EXPECT_EQ(bed.controlRequests(chip), wire::frameTransferSequence());
    EXPECT_EQ(bed.bulkWrites(chip).size(), 1u);
    EXPECT_EQ(bed.hostActions(chip).releases, 1);
}

TEST_F(TransferFault, AChipThatFailsItsResetIsNotConnected) {
    bed.failTransfer(chip, Target::control(kSioReset), BusFault::stall());
    EXPECT_FALSE(probeBoard());

    bed.failTransfer(chip, Target::control(kSioReset), BusFault::stall());
    const SendOutcome out = SendControlWord(42);
    EXPECT_EQ(out.status, SendStatus::NoDevice);
    EXPECT_EQ(out.detail, "ftdi_usb_reset failed");
    EXPECT_TRUE(bed.bulkWrites(chip).empty());

    EXPECT_TRUE(probeBoard());  // each fault hits one transfer only
}

TEST_F(TransferFault, AFailedReleaseIsNamedAndClosingTheHandleFreesTheInterface) {
    bed.failTransfer(chip, Target::release(), BusFault::refused(EIO));

    const SendOutcome out = SendControlWord(42);

    EXPECT_EQ(out.status, SendStatus::Sent);  // the frame is out; only the release failed
    EXPECT_EQ(out.detail, "closing the device failed: releasing the USB interface failed");
    EXPECT_EQ(latchedCode(), 42);
    const HostActions actions = bed.hostActionsOnceClosed(chip);
    EXPECT_EQ(actions.releases, 0);
    EXPECT_EQ(actions.closes, actions.opens);
    EXPECT_FALSE(actions.claimed);  // the kernel frees what a closed handle held
}

}  // namespace
}  // namespace stepctl::usbtest
