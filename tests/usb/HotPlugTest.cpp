// Chips that come and go while the program runs: every exchange opens the chip anew, so the
// next one sees the change without a restart.
#include "FtdiLink.h"
#include "FtdiWire.h"
#include "SendFixture.h"

namespace stepctl::usbtest {
namespace {

class HotPlug : public OnEmulatedChips {
  protected:
    void SetUp() override {
        OnEmulatedChips::SetUp();
        g_nDeviceIndex = 2;
    }
};

TEST_F(HotPlug, AChipRemovedAfterTheProbeIsNotWrittenTo) {
    const ChipId chip = bed.plug({});
    ASSERT_TRUE(probeBoard());
    bed.unplug(chip);

    const SendOutcome out = SendControlWord(42);
    EXPECT_EQ(out.status, SendStatus::NoDevice);
    EXPECT_EQ(bed.controlRequests(chip), wire::probeSequence());
    EXPECT_TRUE(bed.bulkWrites(chip).empty());
    EXPECT_FALSE(probeBoard());
}

TEST_F(HotPlug, AChipAddedAfterStartIsFoundByTheNextExchange) {
    EXPECT_FALSE(probeBoard());
    const ChipId chip = bed.plug({});
    EXPECT_TRUE(probeBoard());

    bed.forgetTraffic();
    ASSERT_TRUE(SendControlWord(42).sent());
    EXPECT_EQ(bed.controlRequests(chip), wire::frameTransferSequence());

    // Unplugged and back at the next free address, as the kernel numbers it.
    bed.unplug(chip);
    ChipSpec again = bed.spec(chip);
    again.address += 1;
    const ChipId back = bed.plug(again);
    ASSERT_TRUE(SendControlWord(21).sent());
    const Frame frame = buildControlFrame(Interface::Serial, false, 21);
    EXPECT_EQ(bed.bulkWrites(back), std::vector<Bytes>{bytesOf(frame)});
    EXPECT_EQ(bed.bulkWrites(chip).size(), 1u);
}

TEST_F(HotPlug, AChipPulledOutDuringAnExchangeFailsEveryCallAndTheLinkRecovers) {
    const ChipId chip = bed.plug({});
    FtdiLink link;
    ASSERT_TRUE(link.open().ok());
    bed.unplug(chip);

    EXPECT_EQ(link.setBitMode(kAllPinsOutput, kAsyncBitBang).code, LinkCode::IoError);
    EXPECT_EQ(link.setBaudRate(kBitBangBaud).code, LinkCode::IoError);
    const Frame frame = buildDualFrame(1, 2);
    std::size_t written = 99;
    EXPECT_EQ(link.write(frame, written).code, LinkCode::IoError);
    EXPECT_EQ(written, 0u);
    // The interface cannot be released from a device that is gone; the handle is freed anyway.
    EXPECT_EQ(link.close().code, LinkCode::IoError);
    EXPECT_EQ(link.close().code, LinkCode::NotOpen);

    EXPECT_EQ(bed.controlRequests(chip), wire::probeSequence());
    EXPECT_TRUE(bed.bulkWrites(chip).empty());
    EXPECT_EQ(link.open().code, LinkCode::DeviceNotFound);

    const ChipId back = bed.plug({.address = 9});
    EXPECT_TRUE(link.open().ok());
    EXPECT_TRUE(link.close().ok());
    EXPECT_EQ(bed.hostActions(back).releases, 1);
}

}  // namespace
}  // namespace stepctl::usbtest
