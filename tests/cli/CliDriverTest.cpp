// --driver: the names it takes, and a D2XX library that is not installed.
#include <gtest/gtest.h>

#include "ChipDriver.h"
#include "CliHarness.h"
#include "D2xxLink.h"
#include "SharedLibrary.h"

using namespace stepctl;
using namespace stepctl::cli::test;

TEST(CliDriver, BadNamesAreRefusedAndSimIgnoresTheDriver) {
    const CliRun bad = run("probe --driver usb");
    EXPECT_EQ(bad.exit, 2);
    EXPECT_EQ(bad.err, "stepctl-cli: --driver: 'usb' is not one of ftdi, d2xx\n");
    EXPECT_EQ(run("list --driver usb").exit, 2);

    const CliRun sim = run("probe --board sim --driver d2xx");
    EXPECT_EQ(sim.exit, 0);
    EXPECT_EQ(sim.out, "connected (sim)\n");
    EXPECT_EQ(sim.err, "stepctl-cli: warning: --driver is ignored with --board sim\n");
}

TEST(CliDriver, AMissingD2xxLibraryIsNoBoardAndSaysSo) {
    std::string error;
    if (SharedLibrary::open(d2xxLibraryFileName(), error))
        GTEST_SKIP() << "a D2XX library is installed here";
    const std::string missing =
        "the FTDI D2XX driver (" + d2xxLibraryFileName() + ") is not installed";

    const CliRun send = run("send --driver d2xx --device 3 --interface serial --db 1");
    EXPECT_EQ(send.exit, 3);
    EXPECT_EQ(send.err, "stepctl-cli: no board: " + missing + "; nothing sent\n");

    const CliRun probe = run("probe --driver d2xx");
    EXPECT_EQ(probe.exit, 3);
    EXPECT_EQ(probe.out, "not connected (d2xx)\n");
    EXPECT_EQ(probe.err, "stepctl-cli: " + missing + "\n");

    const CliRun list = run("list --driver d2xx");
    EXPECT_EQ(list.exit, 3);
    EXPECT_EQ(list.err, "stepctl-cli: cannot list USB devices: " + missing + "\n");
}
