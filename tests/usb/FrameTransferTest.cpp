// The probe and the send routines on the real FTDI link, down to the usbdevfs requests.
#include "FtdiLink.h"
#include "FtdiWire.h"
#include "SendFixture.h"

namespace stepctl::usbtest {
namespace {

class FrameTransfer : public OnEmulatedChips {
  protected:
    void SetUp() override {
        OnEmulatedChips::SetUp();
        chip = bed.plug({});
    }

    // One open/configure/write/close exchange and nothing else reached the chip.
    void expectOneFrameTransfer(const Frame& frame) {
        EXPECT_EQ(bed.controlRequests(chip), wire::frameTransferSequence());
        const auto transfers = bed.transfers(chip);
        ASSERT_EQ(transfers.size(), 5u);
        const Transfer& bulk = transfers.back();
        EXPECT_EQ(bulk.kind, Transfer::Kind::BulkOut);
        EXPECT_EQ(bulk.endpoint, kBulkOutEndpoint);
        EXPECT_EQ(hex(bulk.payload), hex(bytesOf(frame)));
        EXPECT_EQ(bulk.accepted, kFrameSize);
        const HostActions actions = bed.hostActions(chip);
        EXPECT_EQ(actions.claims, 1);
        EXPECT_EQ(actions.releases, 1);
    }

    ChipId chip = 0;
};

TEST_F(FrameTransfer, ProbeOpensAndClosesWithNothingBeyondTheOpen) {
    EXPECT_TRUE(probeBoard());

    EXPECT_EQ(bed.controlRequests(chip), wire::probeSequence());
    EXPECT_EQ(bed.transfers(chip).size(), 2u);  // no bit mode, no rate, no bulk transfer
    const HostActions actions = bed.hostActions(chip);
    EXPECT_EQ(actions.claims, 1);
    EXPECT_EQ(actions.releases, 1);
    // libftdi unbinds the kernel's serial driver to claim the interface, and leaves it unbound.
    EXPECT_EQ(actions.detaches, 1);
    EXPECT_FALSE(actions.serialDriverBound);
}

struct SingleCase {
    const char* name;
    int row;
    int iface;
    std::int32_t word;
    FrameKind kind;
};

void PrintTo(const SingleCase& c, std::ostream* os) {
    *os << c.name;
}

class SingleFrameOnTheWire : public FrameTransfer,
                             public ::testing::WithParamInterface<SingleCase> {};

TEST_P(SingleFrameOnTheWire, ControlRequestsThenTheWholeFrameInOneBulkWrite) {
    const SingleCase& c = GetParam();
    g_nDeviceIndex = c.row;
    g_nInterface = c.iface;

    const SendOutcome out = SendControlWord(c.word);

    EXPECT_EQ(out.status, SendStatus::Sent) << out.detail;
    EXPECT_EQ(out.kind, c.kind);
    const bool sevenBit = isSevenBitKind(c.kind);
    EXPECT_EQ(g_bSevenBit, sevenBit ? 1 : 0);
    expectOneFrameTransfer(buildControlFrame(interfaceFromIndex(c.iface), sevenBit, c.word));
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, SingleFrameOnTheWire,
    ::testing::Values(SingleCase{"Serial6", 2, 0, 42, FrameKind::Serial6},
                      SingleCase{"Serial7", 9, 0, 85, FrameKind::Serial7},
                      SingleCase{"Parallel6", 2, 1, 42, FrameKind::Parallel6},
                      SingleCase{"Parallel7", 9, 1, 85, FrameKind::Parallel7},
                      SingleCase{"Addressable6", 7, 2, 5 * 256 + 42, FrameKind::Addressable6},
                      SingleCase{"Addressable7", 12, 2, 5 * 256 + 85, FrameKind::Addressable7}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(FrameTransfer, DualFrameGoesOutTheSameWay) {
    g_nDeviceIndex = kDualRow;
    g_nInterface = 1;

    const SendOutcome out = SendDualControlWord(42, 21);

    EXPECT_EQ(out.status, SendStatus::Sent) << out.detail;
    EXPECT_EQ(out.kind, FrameKind::Dual);
    expectOneFrameTransfer(buildDualFrame(42, 21));
}

TEST_F(FrameTransfer, The460800SettingGivesTheChipOneDivisorWithOrWithoutBitBang) {
    FtdiLink link;
    ASSERT_TRUE(link.open().ok());
    EXPECT_TRUE(link.setBaudRate(kBitBangBaud).ok());
    EXPECT_TRUE(link.setBitMode(kAllPinsOutput, kAsyncBitBang).ok());
    EXPECT_TRUE(link.setBaudRate(kBitBangBaud).ok());
    EXPECT_TRUE(link.close().ok());

    EXPECT_EQ(bed.controlRequests(chip),
              (std::vector<SetupPacket>{wire::kSioReset, wire::kBaud9600, wire::kBaud460800,
                                        wire::kBitBangAllOutputs, wire::kBaud460800}));
}

TEST_F(FrameTransfer, EverySendOpensTheChipAnew) {
    g_nDeviceIndex = 2;
    ASSERT_TRUE(SendControlWord(1).sent());
    ASSERT_TRUE(SendControlWord(2).sent());

    auto twice = wire::frameTransferSequence();
    auto second = wire::frameTransferSequence();
    twice.insert(twice.end(), second.begin(), second.end());
    EXPECT_EQ(bed.controlRequests(chip), twice);
    const auto writes = bed.bulkWrites(chip);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[1], bytesOf(buildControlFrame(Interface::Serial, false, 2)));
    const HostActions actions = bed.hostActions(chip);
    EXPECT_EQ(actions.claims, 2);
    EXPECT_EQ(actions.releases, 2);
    EXPECT_EQ(actions.detaches, 1);  // the serial driver was gone after the first
}

}  // namespace
}  // namespace stepctl::usbtest
