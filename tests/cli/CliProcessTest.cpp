// The built stepctl-cli run as a process, as a shell or a script runs it.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <thread>

#include "CliHarness.h"
#include "CliProcess.h"

namespace stepctl::cli::test {
namespace {

// The binary's main passes output and every exit code on to the shell.
TEST(CliProcess, OutputAndExitCodesReachTheShell) {
    Process sent(
        {"send", "--board", "sim", "--device", "ZMG-A4", "--interface", "serial", "--db", "10.7"});
    ASSERT_TRUE(sent.spawned());
    EXPECT_EQ(sent.wait(), 0);
    EXPECT_EQ(sent.out(),
              "sent code 21 (10.50 dB) to ZMG-A4 (row 3) over serial: serial-6 frame\n"
              "sim: attenuator: code 21 (10.50 dB)\n");
    EXPECT_EQ(sent.err(), "");
    Process bad({"send", "--device", "3", "--interface", "serial", "--db", "abc"});
    EXPECT_EQ(bad.wait(), 2);
    EXPECT_EQ(lineCount(bad.err()), 1);
    Process absent({"probe", "--serial", "NO-SUCH-CHIP-0"});
    EXPECT_EQ(absent.wait(), 3);
    Process failing({"send", "--board", "sim", "--sim-fault", "write", "--device", "3",
                     "--interface", "serial", "--db", "1"});
    EXPECT_EQ(failing.wait(), 4);
}

TEST(CliProcess, CtrlCStopsASweepBetweenStepsWithTheDeviceClosed) {
    Process p({"sweep", "--board", "sim", "--device", "3", "--interface", "serial", "--from", "0",
               "--to", "31.5", "--step", "0.5", "--dwell-ms", "100"});
    ASSERT_TRUE(p.spawned());
    // Wait for the second progress line, so that the sweep is under way.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (p.out().find("step 2/64") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    p.signal(SIGINT);
    EXPECT_EQ(p.wait(), 130);
    const std::string out = p.out();
    EXPECT_EQ(out.find("step 64/64"), std::string::npos) << out;
    EXPECT_NE(out.find("sim: attenuator: code"), std::string::npos) << out;
    EXPECT_NE(p.err().find("sweep stopped by Ctrl-C after"), std::string::npos) << p.err();
    EXPECT_NE(p.err().find("the device is closed"), std::string::npos);
}

}  // namespace
}  // namespace stepctl::cli::test
