// stepctl-cli, the built binary, run as a child process against emulated FT232R chips: what it
// prints, how it exits, and what reached each chip. The child sees the test's chips through the
// inherited preload library, and its requests are recorded here.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "CliProcess.h"
#include "EmulatedFt232r.h"
#include "Frames.h"
#include "FtdiWire.h"

namespace stepctl::usbtest {
namespace {

using cli::test::Process;
using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const Frame& frame) {
    return {frame.begin(), frame.end()};
}

struct CliRun {
    int exit = -1;
    std::string out, err;
};

CliRun run(const std::vector<std::string>& args) {
    Process p(args);
    if (!p.spawned())
        return {};
    const int exit = p.wait();
    return {exit, p.out(), p.err()};
}

class CliOnUsb : public ::testing::Test {
  protected:
    // Nothing of the exchange is left behind: every handle closed, the interface free.
    void expectLetGo(ChipId chip) {
        const HostActions actions = bed.hostActionsOnceClosed(chip);
        EXPECT_EQ(actions.closes, actions.opens);
        EXPECT_FALSE(actions.claimed);
    }

    EmulatedFt232r bed;
};

TEST_F(CliOnUsb, ProbeOpensAndClosesTheChipAndNothingElse) {
    const ChipId chip = bed.plug({});

    const CliRun probe = run({"probe"});

    EXPECT_EQ(probe.exit, 0);
    EXPECT_EQ(probe.out, "connected (ftdi)\n");
    EXPECT_EQ(probe.err, "");
    EXPECT_EQ(bed.controlRequests(chip), wire::probeSequence());
    EXPECT_TRUE(bed.bulkWrites(chip).empty());
    EXPECT_EQ(bed.hostActions(chip).releases, 1);
    expectLetGo(chip);
}

TEST_F(CliOnUsb, WithoutAChipProbeAndSendSayNoBoard) {
    const CliRun probe = run({"probe"});
    EXPECT_EQ(probe.exit, 3);
    EXPECT_EQ(probe.out, "not connected (ftdi): no FTDI device found\n");

    const CliRun send =
        run({"send", "--device", "ZMG-B2", "--interface", "parallel", "--db", "10.7"});
    EXPECT_EQ(send.exit, 3);
    EXPECT_EQ(send.out, "");
    EXPECT_EQ(send.err, "stepctl-cli: no board: no FTDI device found; nothing sent\n");
}

TEST_F(CliOnUsb, SendPutsThePanelsFrameOnTheBusAfterTheSetUpRequests) {
    const ChipId chip = bed.plug({});

    const CliRun send =
        run({"send", "--device", "ZMG-B2", "--interface", "parallel", "--db", "10.7"});

    EXPECT_EQ(send.exit, 0) << send.err;
    EXPECT_EQ(send.out,
              "sent code 42 (10.50 dB) to ZMG-B2 (row 9) over parallel: parallel-7 frame\n");
    EXPECT_EQ(send.err, "");
    // No probe of its own: the transfer's open is the only one.
    EXPECT_EQ(bed.controlRequests(chip), wire::frameTransferSequence());
    EXPECT_EQ(bed.bulkWrites(chip),
              std::vector<Bytes>{bytesOf(buildControlFrame(Interface::LatchedParallel, true, 42))});
    EXPECT_EQ(bed.hostActions(chip).releases, 1);
    expectLetGo(chip);
}

// A held board: ten settings are one open, one set-up, ten bulk writes and one release.
TEST_F(CliOnUsb, ASweepOpensTheChipOnceAndWritesEachSettingOnce) {
    const ChipId chip = bed.plug({});

    const CliRun sweep = run({"sweep", "--device", "ZMG-A4", "--interface", "serial", "--from", "0",
                              "--to", "4.5", "--step", "0.5", "--dwell-ms", "0"});

    EXPECT_EQ(sweep.exit, 0) << sweep.err;
    EXPECT_EQ(bed.controlRequests(chip), wire::frameTransferSequence());
    std::vector<Bytes> frames;
    for (int code = 0; code < 10; ++code)
        frames.push_back(bytesOf(buildControlFrame(Interface::Serial, false, code)));
    EXPECT_EQ(bed.bulkWrites(chip), frames);
    const HostActions actions = bed.hostActionsOnceClosed(chip);
    EXPECT_EQ(actions.opens, 1);
    EXPECT_EQ(actions.releases, 1);
    expectLetGo(chip);
}

TEST_F(CliOnUsb, ListShowsEveryChipWithoutClaimingAny) {
    const ChipId a = bed.plug({.serial = "A10K0001"});
    const ChipId b =
        bed.plug({.serial = "B20K0002", .description = "Bench B", .bus = 3, .address = 7});

    const CliRun list = run({"list"});

    EXPECT_EQ(list.exit, 0) << list.err;
    // libftdi lists the chip enumerated last first.
    EXPECT_EQ(list.out,
              "index  serial            description               usb\n"
              "0      B20K0002          Bench B                   0403:6001 bus 3 address 7\n"
              "1      A10K0001          FT232R USB UART           0403:6001 bus 1 address 2\n"
              "listed by driver ftdi\n");
    for (ChipId chip : {a, b}) {
        EXPECT_TRUE(bed.bulkWrites(chip).empty());
        const HostActions actions = bed.hostActionsOnceClosed(chip);
        EXPECT_EQ(actions.claims, 0);
        EXPECT_TRUE(actions.serialDriverBound);  // the tty stays
        expectLetGo(chip);
    }
}

// A chip held by another program, and one whose strings cannot be read: both say why.
TEST_F(CliOnUsb, ProbeAndListSayWhyAChipCouldNotBeUsed) {
    const ChipId chip = bed.plug({.serial = "A10K0001"});
    bed.failTransfer(chip, Target::claim(), BusFault::refused(EBUSY));
    const CliRun probe = run({"probe"});
    EXPECT_EQ(probe.exit, 3);
    EXPECT_EQ(
        probe.out.rfind("not connected (ftdi): busy: the chip is in use by another program", 0), 0u)
        << probe.out;
    bed.failTransfer(chip, Target::claim(), BusFault::refused(EBUSY));
    const auto json = nlohmann::json::parse(run({"probe", "--json"}).out);
    EXPECT_EQ(json["reason"], "busy");

    constexpr std::uint8_t kGetDescriptor = 0x06;
    bed.failTransfer(chip, Target::control(kGetDescriptor), BusFault::stall());
    const CliRun list = run({"list"});
    EXPECT_EQ(list.exit, 0) << list.err;
    EXPECT_EQ(list.out,
              "index  serial            description               usb\n"
              "0      (failed)          (unreadable)              0403:6001 bus 1 address 2\n"
              "       strings not read: libusb_get_string_descriptor_ascii() failed\n"
              "listed by driver ftdi\n");
}

TEST_F(CliOnUsb, SerialPicksTheSecondOfTwoChips) {
    const std::vector<ChipId> chips = {bed.plug({.serial = "A10K0001"}),
                                       bed.plug({.serial = "B20K0002", .bus = 3, .address = 7})};
    const CliRun list = run({"list", "--json"});
    ASSERT_EQ(list.exit, 0) << list.err;
    const auto listed = nlohmann::json::parse(list.out);
    ASSERT_EQ(listed.size(), 2u);
    const std::string second = listed[1]["serial"];
    const ChipId picked = bed.spec(chips[0]).serial == second ? chips[0] : chips[1];
    const ChipId other = picked == chips[0] ? chips[1] : chips[0];
    bed.forgetTraffic();

    const CliRun send = run(
        {"send", "--serial", second, "--device", "ZMG-A3", "--interface", "serial", "--db", "21"});

    EXPECT_EQ(send.exit, 0) << send.err;
    const Frame frame = buildControlFrame(Interface::Serial, false, 42);
    EXPECT_EQ(bed.bulkWrites(picked), std::vector<Bytes>{bytesOf(frame)});
    EXPECT_TRUE(bed.bulkWrites(other).empty());
    EXPECT_EQ(bed.hostActionsOnceClosed(other).claims, 0);  // only its serial number was read

    // Without --serial the first in the list gets it.
    bed.forgetTraffic();
    ASSERT_EQ(run({"send", "--device", "ZMG-A3", "--interface", "serial", "--db", "21"}).exit, 0);
    EXPECT_EQ(bed.bulkWrites(other), std::vector<Bytes>{bytesOf(frame)});
    EXPECT_TRUE(bed.bulkWrites(picked).empty());
    for (ChipId chip : chips)
        expectLetGo(chip);
}

}  // namespace
}  // namespace stepctl::usbtest
