// Which chip the FTDI link talks to, and what listing the chips does to them.
#include "FtdiLink.h"
#include "FtdiWire.h"
#include "SendFixture.h"

namespace stepctl::usbtest {
namespace {

constexpr std::uint8_t kStandardIn = 0x80;
constexpr std::uint8_t kGetDescriptor = 0x06;

bool onlyDescriptorReads(const std::vector<SetupPacket>& requests) {
    for (const SetupPacket& s : requests) {
        if (s.requestType != kStandardIn || s.request != kGetDescriptor)
            return false;
    }
    return true;
}

using ChipChoice = OnEmulatedChips;

TEST_F(ChipChoice, WithoutAChipOpenFailsCleanlyAndNothingIsSent) {
    EXPECT_FALSE(probeBoard());

    g_nDeviceIndex = 9;
    const SendOutcome out = SendControlWord(85);
    EXPECT_EQ(out.status, SendStatus::NoDevice);
    EXPECT_EQ(out.detail, "no FTDI device found");
    EXPECT_EQ(out.frame, buildControlFrame(Interface::Serial, true, 85));  // built all the same
    EXPECT_EQ(g_bSevenBit, 1);

    std::string error;
    EXPECT_TRUE(listFtdiChips(&error).empty());
    EXPECT_EQ(error, "");
}

TEST_F(ChipChoice, TheFirstChipInLibftdisListIsUsedAndASerialNumberPicksAnother) {
    const ChipId a = bed.plug({.serial = "A10K0001", .bus = 1, .address = 2});
    const ChipId b = bed.plug({.serial = "B20K0002", .bus = 3, .address = 7});
    const auto chips = listFtdiChips();
    ASSERT_EQ(chips.size(), 2u);
    const ChipId first = chips[0].serial == "A10K0001" ? a : b;
    const ChipId second = first == a ? b : a;
    EXPECT_EQ(chips[1].serial, bed.spec(second).serial);
    bed.forgetTraffic();

    g_nDeviceIndex = 2;
    ASSERT_TRUE(SendControlWord(42).sent());
    EXPECT_EQ(bed.controlRequests(first), wire::frameTransferSequence());
    EXPECT_TRUE(bed.transfers(second).empty());
    EXPECT_EQ(bed.hostActions(second).opens, 0);

    // By serial number: the link reads the strings of the chips it passes on the way, and
    // configures and writes only the one it picked.
    bed.forgetTraffic();
    FtdiLink bySerial(bed.spec(second).serial);
    const Frame frame = buildDualFrame(63, 0);
    ASSERT_TRUE(transferFrame(bySerial, FrameKind::Dual, frame).sent());
    auto requests = bed.controlRequests(second);
    std::erase_if(requests, [](const SetupPacket& s) { return s.requestType == kStandardIn; });
    EXPECT_EQ(requests, wire::frameTransferSequence());
    EXPECT_EQ(bed.bulkWrites(second), std::vector<Bytes>{bytesOf(frame)});
    EXPECT_TRUE(onlyDescriptorReads(bed.controlRequests(first)));
    EXPECT_EQ(bed.hostActions(first).claims, 0);
}

TEST_F(ChipChoice, AnUnknownSerialNumberFindsNoDevice) {
    bed.plug({.serial = "A10K0001"});
    FtdiLink link("NOSUCH01");
    const LinkStatus status = link.open();
    EXPECT_EQ(status.code, LinkCode::DeviceNotFound);
    EXPECT_EQ(status.message, "no FTDI device with serial number NOSUCH01");
    EXPECT_EQ(link.close().code, LinkCode::NotOpen);
}

TEST_F(ChipChoice, StringsThatCannotBeReadAreReportedNotPassedOffAsEmpty) {
    const ChipId chip = bed.plug({.serial = "A10K0001"});
    bed.failTransfer(chip, Target::control(kGetDescriptor), BusFault::stall());
    const auto chips = listFtdiChips();
    ASSERT_EQ(chips.size(), 1u);
    EXPECT_EQ(chips[0].serial, "");
    EXPECT_EQ(chips[0].stringError, "libusb_get_string_descriptor_ascii() failed");
    EXPECT_EQ(chips[0].bus, 1);  // what sysfs tells is still there

    bed.failTransfer(chip, Target::control(kGetDescriptor), BusFault::stall());
    FtdiLink link("A10K0001");
    EXPECT_EQ(link.open().message,
              "no FTDI device with serial number A10K0001 (could not read the serial number of 1 "
              "chip: libusb_get_string_descriptor_ascii() failed)");

    EXPECT_EQ(listFtdiChips()[0].stringError, "");  // the next read works again
}

TEST_F(ChipChoice, ListingReadsTheStringsWithoutClaimingOrDetachingAnything) {
    const ChipId a = bed.plug({.serial = "A10K0001",
                               .manufacturer = "FTDI",
                               .description = "Attenuator board",
                               .bus = 2,
                               .address = 14});
    const ChipId b = bed.plug({.serial = "B20K0002", .bus = 1, .address = 3});

    std::string error = "untouched";
    auto chips = listFtdiChips(&error);
    EXPECT_EQ(error, "untouched");
    ASSERT_EQ(chips.size(), 2u);
    EXPECT_EQ(chips[0].index, 0);
    EXPECT_EQ(chips[1].index, 1);
    std::sort(chips.begin(), chips.end(),
              [](const auto& x, const auto& y) { return x.serial < y.serial; });
    const FtdiChipInfo& ca = chips[0];
    EXPECT_EQ(ca.serial, "A10K0001");
    EXPECT_EQ(ca.manufacturer, "FTDI");
    EXPECT_EQ(ca.description, "Attenuator board");
    EXPECT_EQ(ca.vendorId, 0x0403);
    EXPECT_EQ(ca.productId, 0x6001);
    EXPECT_EQ(ca.bus, 2);
    EXPECT_EQ(ca.address, 14);
    EXPECT_EQ(chips[1].serial, "B20K0002");
    EXPECT_EQ(chips[1].description, "FT232R USB UART");
    EXPECT_EQ(chips[1].bus, 1);
    EXPECT_EQ(chips[1].address, 3);

    for (ChipId id : {a, b}) {
        const HostActions actions = bed.hostActions(id);
        EXPECT_GE(actions.opens, 1);
        EXPECT_EQ(actions.claims, 0);
        EXPECT_EQ(actions.detaches, 0);
        EXPECT_TRUE(actions.serialDriverBound);  // /dev/ttyUSB* stays where it was
        EXPECT_TRUE(onlyDescriptorReads(bed.controlRequests(id)));
        EXPECT_TRUE(bed.bulkWrites(id).empty());
    }
}

}  // namespace
}  // namespace stepctl::usbtest
