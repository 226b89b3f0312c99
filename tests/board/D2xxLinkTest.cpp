// D2xxLink against the fake D2XX library, loaded by the link itself as it loads the real one:
// the exact calls of each exchange, the driver's statuses in words, the chip by serial number,
// and listing zero or two chips.
#include <gtest/gtest.h>

#include "D2xxLink.h"
#include "Exchange.h"
#include "FakeD2xx.h"
#include "FrameHex.h"

using namespace stepctl;
using Calls = std::vector<std::string>;

namespace {

class D2xxLinkTest : public ::testing::Test {
  protected:
    void SetUp() override { fake.reset(); }
    test::FakeD2xx fake;
};

std::string writeOf(const Frame& frame, int chip = 0, int took = 36) {
    return "FT_Write(#" + std::to_string(chip) + ", 36, took " + std::to_string(took) + ") " +
           hexOf(frame);
}

}  // namespace

TEST_F(D2xxLinkTest, ProbeOpensDeviceZeroAndClosesIt) {
    D2xxLink link;
    EXPECT_TRUE(probeConnection(link));
    EXPECT_EQ(fake.calls(), (Calls{"FT_Open(0) #0", "FT_Close(#0)"}));
    EXPECT_EQ(fake.openHandles(), 0);
}

TEST_F(D2xxLinkTest, TransferIssuesFiveCallsWithTheFrameOfEachKind) {
    struct Case {
        FrameKind kind;
        Frame frame;
    };
    const Case cases[] = {
        {FrameKind::Serial6, buildControlFrame(Interface::Serial, false, 21)},
        {FrameKind::Serial7, buildControlFrame(Interface::Serial, true, 42)},
        {FrameKind::Parallel6, buildControlFrame(Interface::LatchedParallel, false, 21)},
        {FrameKind::Parallel7, buildControlFrame(Interface::LatchedParallel, true, 42)},
        {FrameKind::Addressable6,
         buildControlFrame(Interface::SerialAddressable, false, 5 * 256 + 21)},
        {FrameKind::Addressable7,
         buildControlFrame(Interface::SerialAddressable, true, 3 * 256 + 42)},
        {FrameKind::Dual, buildDualFrame(63, 14)},
    };
    D2xxLink link;
    for (const Case& c : cases) {
        fake.reset();
        EXPECT_TRUE(transferFrame(link, c.kind, c.frame).sent()) << frameKindName(c.kind);
        // The plain 460800: the driver works the divisor out itself.
        EXPECT_EQ(fake.calls(),
                  (Calls{"FT_Open(0) #0", "FT_SetBitMode(#0, 0xFF, 1)",
                         "FT_SetBaudRate(#0, 460800)", writeOf(c.frame), "FT_Close(#0)"}))
            << frameKindName(c.kind);
    }
    // 10.7 dB over Latched Parallel on a 7-bit row is code 42: this frame.
    EXPECT_EQ(hexOf(cases[3].frame).substr(0, 12), "00 32 3A 32 ");
}

TEST_F(D2xxLinkTest, EveryStatusIsWordedWithItsNumber) {
    struct Case {
        std::uint32_t status;
        LinkCode code;
        const char* message;
    };
    const Case cases[] = {
        {2, LinkCode::DeviceNotFound, "device not found (D2XX status 2)"},
        {3, LinkCode::DeviceNotOpened,
         "device not opened (in use by another program?) (D2XX status 3)"},
        {4, LinkCode::IoError, "I/O error (D2XX status 4)"},
        {7, LinkCode::InvalidArgument, "invalid baud rate (D2XX status 7)"},
        {250, LinkCode::IoError, "unknown status (D2XX status 250)"},
    };
    D2xxLink link;
    for (const Case& c : cases) {
        fake.reset();
        fake.fail("FT_Open", c.status);
        const LinkStatus s = link.open();
        EXPECT_EQ(s.code, c.code) << c.status;
        EXPECT_EQ(s.message, c.message);
        EXPECT_EQ(link.close().code, LinkCode::NotOpen);  // nothing to close after a failed open
        EXPECT_EQ(fake.calls(), Calls{"FT_Open(0) -> " + std::to_string(c.status)});
    }
}

TEST_F(D2xxLinkTest, SerialNumberOpensThatChipByFtOpenEx) {
    fake.reset("A10K0001,B20K0002");
    const Frame frame = buildControlFrame(Interface::Serial, false, 42);
    D2xxLink link("B20K0002");
    EXPECT_TRUE(transferFrame(link, FrameKind::Serial6, frame).sent());
    EXPECT_EQ(fake.calls(),
              (Calls{"FT_OpenEx(\"B20K0002\", 1) #1", "FT_SetBitMode(#1, 0xFF, 1)",
                     "FT_SetBaudRate(#1, 460800)", writeOf(frame, 1), "FT_Close(#1)"}));

    fake.reset("A10K0001");
    const LinkStatus missing = D2xxLink("B20K0002").open();
    EXPECT_EQ(missing.code, LinkCode::DeviceNotFound);
    EXPECT_EQ(missing.message,
              "no FTDI device with serial number B20K0002 could be opened: device not found "
              "(D2XX status 2)");
}

TEST_F(D2xxLinkTest, ListsZeroOrTwoChipsInTheDriversOrder) {
    fake.reset("");
    std::string error;
    EXPECT_TRUE(listD2xxChips(&error).empty());
    EXPECT_EQ(error, "");
    D2xxLink link;
    EXPECT_FALSE(probeConnection(link));

    fake.reset("A10K0001,B20K0002");
    const std::vector<D2xxChipInfo> two = listD2xxChips(&error);
    ASSERT_EQ(two.size(), 2u) << error;
    EXPECT_EQ(two[1].index, 1);
    EXPECT_EQ(two[1].serial, "B20K0002");
    EXPECT_EQ(two[1].description, "FT232R USB UART");
    EXPECT_EQ(two[1].vendorId, 0x0403);
    EXPECT_EQ(two[1].productId, 0x6001);
    // Listing opens nothing.
    EXPECT_EQ(fake.calls(), (Calls{"FT_CreateDeviceInfoList()", "FT_GetDeviceInfoDetail(0)",
                                   "FT_GetDeviceInfoDetail(1)"}));

    fake.fail("FT_CreateDeviceInfoList", 4);
    EXPECT_TRUE(listD2xxChips(&error).empty());
    EXPECT_EQ(error, "I/O error (D2XX status 4)");
}
