// stepctl-cli send, probe, devices and list as a user runs them, against the simulated board.
// (The plain Send as a process, its output and exit code: CliProcessTest.)
#include <gtest/gtest.h>

#include "ChipDriver.h"
#include "CliHarness.h"
#include "SelectionState.h"
#include "SendRoutines.h"
#include "SimulatedBoard.h"

namespace stepctl::cli::test {
namespace {

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

constexpr const char* kSim = "send --board sim ";

TEST(CliSend, TakesNegativeValuesAndADbSuffix) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"send", "--board", "sim", "--device", "3", "--interface", "serial", "--db=-3"},
             {"send", "--board", "sim", "--device", "3", "--interface", "serial", "--db", "-3"}}) {
        const CliRun r = runArgs(args);
        EXPECT_EQ(r.exit, 0) << r.err;
        EXPECT_TRUE(has(r.out, "sim: attenuator: code 0 (0.00 dB)"));
        EXPECT_EQ(r.err, "stepctl-cli: warning: --db -3 is below 0 dB: clamped to 0.00 dB\n");
    }
    const CliRun suffix = runArgs(
        {"send", "--board", "sim", "--device", "3", "--interface", "serial", "--db", "5 dB"});
    EXPECT_TRUE(has(suffix.out, "code 10 (5.00 dB)")) << suffix.out;
    EXPECT_TRUE(has(run(std::string(kSim) + "--device 3 --interface serial --db 5dB").out,
                    "code 10 (5.00 dB)"));
}

TEST(CliSend, ClampsAboveTheTopAsThePanelDoesAndSaysSo) {
    struct Case {
        const char* args;
        const char* latched;
        const char* top;
    };
    for (const Case c : {Case{"--device 3 --interface serial --db 40", "code 63 (31.50", "31.50"},
                         {"--device 3 --interface serial --db 31.9", "code 63 (31.50", "31.50"},
                         {"--device 9 --interface serial --db 32", "code 127 (31.75", "31.75"},
                         {"--device 9 --interface serial --db 1e39", "code 127 (31.75", "31.75"}}) {
        const CliRun r = run(std::string(kSim) + c.args);
        EXPECT_EQ(r.exit, 0) << c.args;
        EXPECT_TRUE(has(r.out, c.latched)) << c.args << "\n" << r.out;
        EXPECT_TRUE(has(r.err, "warning: --db")) << r.err;
        EXPECT_TRUE(has(r.err, std::string("clamped to ") + c.top + " dB")) << r.err;
    }
    // On the top exactly and inside the range: quantised, not warned about.
    EXPECT_EQ(run(std::string(kSim) + "--device 9 --interface serial --db 31.75").err, "");
}

TEST(CliSend, RefusesEachBadValueWithExitTwoAndOneLineNamingIt) {
    struct Case {
        const char* args;
        const char* names;
    };
    const std::string row3 = "--device 3 --interface serial --db 1 ";
    const std::vector<Case> cases{
        {"send --device ZMX-9 --interface serial --db 1", "'ZMX-9' is not a known device"},
        {"send --device 15 --interface serial --db 1", "--device: '15' is not a row 0..14"},
        {"send --interface serial --db 1", "--device is required"},
        {"send --device 3 --interface spi --db 1", "--interface: 'spi'"},
        {"send --device 3 --db 1", "--interface is required"},
        {"send --device 3 --interface serial --db abc", "--db: 'abc' is not a number"},
        {"send --device 3 --interface serial --db 5dBm", "--db: '5dBm' is not a number"},
        {"send --device 3 --interface serial --db nan", "--db: 'nan' is not a number"},
        {"send --device 3 --interface serial --db nan(1)", "--db: 'nan(1)' is not a number"},
        {"send --device 3 --interface serial --db 1e400", "--db: '1e400' is too large"},
        {"send --device 3 --interface serial", "--db is required"},
        {"send --device 3 --interface serial --db 1 --db 2", "--db"},
        {"send --device 14 --interface serial --db 1 --db2 x", "--db2: 'x' is not a number"},
        {"send --device 14 --interface serial --db 1", "--db2 is required"},
        {"send --device 3 --interface serial --db 1 --db2 zz", "--db2: 'zz'"},
        {"send --device 12 --interface addressable --db 1", "--address 0..7 is required"},
        {"send --device 12 --interface addressable --address 8 --db 1", "--address: '8'"},
        {"send --device 12 --interface addressable --address two --db 1", "--address: 'two'"},
        {"send --board usb --device 3 --interface serial --db 1", "--board: 'usb'"},
        {"send --board sim --sim-fault melt --device 3 --interface serial --db 1",
         "--sim-fault: 'melt'"},
        {"send --sim-fault write --device 3 --interface serial --db 1", "--sim-fault needs"},
        {"send --device 3 --interface serial --db 1 --colour red", "--colour"},
        {"probe --board usb", "--board: 'usb'"},
        {"devices --board sim", "--board"},
        {"warp", "warp"},
        {"", "a command is required"},
        {"--db 1", "'--db' must follow a command"},
    };
    for (const Case& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exit, 2) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_EQ(lineCount(r.err), 1) << c.args << "\n" << r.err;
        EXPECT_TRUE(has(r.err, c.names)) << c.args << "\n" << r.err;
    }
    const CliRun empty = runArgs({"send", "--device", "3", "--interface", "serial", "--db", ""});
    EXPECT_EQ(empty.exit, 2);
    EXPECT_EQ(empty.err,
              "stepctl-cli: --db: '' is not a number in dB (for example 10.5 or 10.5dB)\n");
    EXPECT_EQ(
        runArgs({"send", "--device", "3", "--interface", "serial", "--db", "1", "--serial", ""})
            .exit,
        2);
}

TEST(CliSend, UnknownDeviceNamesEveryValidOne) {
    const CliRun r = run("send --device nope --interface serial --db 1");
    for (const DeviceEntry& entry : catalogue())
        EXPECT_TRUE(has(r.err, std::string(entry.name))) << entry.name;
}

TEST(CliSend, AddressableReachesOnlyTheAddressedDevice) {
    const CliRun r =
        run(std::string(kSim) + "--device ZMT-B4/B5 --interface addressable --address 5 --db 10.7");
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(has(r.out, "at address 5 over addressable: addressable-7 frame"));
    EXPECT_TRUE(has(r.out, "sim: address 5: code 42 (10.50 dB)"));
    EXPECT_TRUE(has(r.out, "sim: address 4: not latched"));
    EXPECT_TRUE(has(r.out, "sim: address 6: not latched"));

    const CliRun six =
        run(std::string(kSim) + "--device 7 --interface addressable --address 0 --db 21");
    EXPECT_TRUE(has(six.out, "sim: address 0: code 42 (21.00 dB)")) << six.out;

    const CliRun ignored =
        run(std::string(kSim) + "--device 3 --interface serial --address 5 --db 1");
    EXPECT_EQ(ignored.exit, 0);
    EXPECT_EQ(ignored.err,
              "stepctl-cli: warning: --address is ignored without --interface addressable\n");
}

TEST(CliSend, DualRowSendsBothCodesWhicheverOfSerialOrParallel) {
    for (const char* iface : {"serial", "parallel"}) {
        const CliRun r =
            run(std::string(kSim) + "--device ZMG-C1 --interface " + iface + " --db 40 --db2 7.3");
        EXPECT_EQ(r.exit, 0) << r.err;
        EXPECT_TRUE(has(r.out, "sent codes 63 (31.50 dB) and 14 (7.00 dB)")) << r.out;
        EXPECT_TRUE(has(r.out, ": dual frame"));
        EXPECT_TRUE(has(r.out, "sim: attenuator 1: code 63 (31.50 dB)"));
        EXPECT_TRUE(has(r.out, "sim: attenuator 2: code 14 (7.00 dB)"));
    }
}

TEST(CliSend, DualRowWithAddressableSendsTheFirstCodeOnlyAndWarns) {
    const CliRun r = run(std::string(kSim) +
                         "--device 14 --interface addressable --address 2 --db 1 --db2 3 --json");
    EXPECT_EQ(r.exit, 0);
    const auto json = r.json();
    EXPECT_EQ(json["kind"], "addressable-6");
    EXPECT_EQ(json["codes"], nlohmann::json::array({2}));
    EXPECT_EQ(json["address"], 2);
    EXPECT_TRUE(has(r.err, "ZMG-C1 (row 14) does not offer addressable")) << r.err;
    EXPECT_TRUE(has(r.err, "--db2 is not sent"));
    // The dual device listens serially: it shifts the nine addressable bits and latches the
    // last six, which is not the code that was meant. The warning is why.
    EXPECT_EQ(json["latched"][1]["code"], nullptr);
    // --db2 may be left out there, since it goes nowhere.
    EXPECT_EQ(
        run(std::string(kSim) + "--device 14 --interface addressable --address 2 --db 1").exit, 0);
}

TEST(CliSend, WarnsButSendsWhenTheRowDoesNotOfferTheInterface) {
    const CliRun r = run(std::string(kSim) + "--device ZMG-B6 --interface serial --db 2");
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err,
              "stepctl-cli: warning: ZMG-B6 (row 12) does not offer serial (it offers "
              "addressable); sending anyway, as the panel does\n");
    EXPECT_TRUE(has(r.out, "sim: attenuator: code 8 (2.00 dB)"));
}

TEST(CliExit, NoBoardIsThree) {
    for (const char* fault : {"unplugged", "open"}) {
        const CliRun r = run(std::string(kSim) + "--sim-fault " + fault +
                             " --device 3 --interface serial --db 1");
        EXPECT_EQ(r.exit, 3) << fault;
        EXPECT_TRUE(has(r.err, "no board: ")) << r.err;
        EXPECT_FALSE(has(r.out, "sent code"));
    }
    // A serial number no chip has: no board, whatever is plugged into this machine.
    const CliRun chip = run("send --serial NO-SUCH-CHIP-0 --device 3 --interface serial --db 1");
    EXPECT_EQ(chip.exit, 3);
    EXPECT_TRUE(has(chip.err, "NO-SUCH-CHIP-0")) << chip.err;

    EXPECT_TRUE(has(run("probe --serial NO-SUCH-CHIP-0").out,
                    "not connected (" + std::string(chipDriverName(defaultChipDriver())) + "): "));
    EXPECT_EQ(run("probe --serial NO-SUCH-CHIP-0").exit, 3);
    EXPECT_EQ(run("probe --board sim --sim-fault unplugged").exit, 3);
    const CliRun probe = run("probe --board sim --json");
    EXPECT_EQ(probe.exit, 0);
    EXPECT_EQ(probe.json(), nlohmann::json::parse(R"({"board":"sim","connected":true})"));
}

TEST(CliProbe, AFailedProbeSaysWhyInTextAndJson) {
    struct Why {
        const char* fault;
        const char* reason;
        const char* text;
        const char* detail;
    };
    for (const Why w : {Why{"unplugged", "absent", "not connected (sim): no FTDI device found\n",
                            "no FTDI device found"},
                        {"open", "failed", "not connected (sim): simulated open failure\n",
                         "simulated open failure"}}) {
        const CliRun text = runArgs({"probe", "--board", "sim", "--sim-fault", w.fault});
        EXPECT_EQ(text.out, w.text);
        const CliRun json = runArgs({"probe", "--board", "sim", "--sim-fault", w.fault, "--json"});
        EXPECT_EQ(json.exit, 3);
        EXPECT_EQ(json.json()["reason"], w.reason);
        EXPECT_EQ(json.json()["detail"], w.detail);
    }
}

TEST(CliExit, FailedTransferIsFourAndSaysWhy) {
    struct Case {
        const char* fault;
        const char* why;
    };
    for (const Case c : {Case{"write", "write failed"},
                         {"short-write", "short write: 18 of 36 bytes"},
                         {"bitmode", "setting bit-bang mode failed"},
                         {"rate", "setting the rate failed"}}) {
        const CliRun r = run(std::string(kSim) + "--sim-fault " + c.fault +
                             " --device 3 --interface serial --db 1");
        EXPECT_EQ(r.exit, 4) << c.fault;
        EXPECT_TRUE(has(r.err, std::string("transfer failed: ") + c.why)) << r.err;
    }
    // The frame got out; only the release failed: sent, with a warning.
    const CliRun close =
        run(std::string(kSim) + "--sim-fault close --device 3 --interface serial --db 1");
    EXPECT_EQ(close.exit, 0);
    EXPECT_TRUE(has(close.err, "warning: closing the device failed")) << close.err;
}

TEST(CliJson, SendReportParsesWhateverTheOutcome) {
    const CliRun ok =
        run(std::string(kSim) + "--device 11 --interface addressable --address 3 --db 5 --json");
    const auto json = ok.json();
    EXPECT_EQ(json["device"], "ZMT-B4/B5");
    EXPECT_EQ(json["row"], 11);
    EXPECT_EQ(json["interface"], "addressable");
    EXPECT_EQ(json["codes"], nlohmann::json::array({20}));
    EXPECT_EQ(json["db"], nlohmann::json::array({5.0}));
    EXPECT_EQ(json["status"], "sent");
    EXPECT_EQ(json["board"], "sim");
    EXPECT_EQ(json["latched"].size(), 8u);
    EXPECT_EQ(json["latched"][3]["code"], 20);
    EXPECT_EQ(lineCount(ok.out), 1);

    const CliRun failed =
        run(std::string(kSim) + "--sim-fault write --device 3 --interface serial --db 1 --json");
    EXPECT_EQ(failed.exit, 4);
    EXPECT_EQ(failed.json()["status"], "transfer-failed");
    EXPECT_EQ(
        run(std::string(kSim) + "--sim-fault unplugged --device 3 --interface serial --db 1 --json")
            .json()["status"],
        "no-device");
}

TEST(CliRun, LeavesTheSelectionAndTheLinkAsItFoundThem) {
    run(std::string(kSim) + "--device 11 --interface addressable --address 3 --db 5");
    EXPECT_EQ(g_nDeviceIndex, 0);
    EXPECT_EQ(g_nInterface, 0);
    EXPECT_EQ(g_nAttenCode, 0);
    EXPECT_EQ(dynamic_cast<SimulatedBoard*>(&boardLink()), nullptr);
    // The same command twice gives the same answer: nothing carries over between runs.
    const std::string line = std::string(kSim) + "--device 14 --interface serial --db 3 --db2 4";
    EXPECT_EQ(run(line).out, run(line).out);
}

TEST(CliHelp, DocumentsCommandsAndExitCodes) {
    const CliRun help = run("--help");
    EXPECT_EQ(help.exit, 0);
    for (const char* word : {"devices", "list", "probe", "send", "frame", "sweep",
                             "2 bad arguments", "3 no board", "4 transfer failed"}) {
        EXPECT_TRUE(has(help.out, word)) << word;
    }
    const CliRun send = run("send --help");
    EXPECT_EQ(send.exit, 0);
    for (const char* word : {"--device", "--interface", "--address", "--db", "--db2", "--board",
                             "--serial", "--json", "Exit codes"}) {
        EXPECT_TRUE(has(send.out, word)) << word;
    }
    EXPECT_TRUE(has(run("frame --help").out, "135634"));
    EXPECT_TRUE(has(run("--version").out, "stepctl-cli "));  // exactly: CliGrammarTest
}

TEST(CliDevices, ListsTheCatalogueAsTextAndJson) {
    const CliRun text = run("devices");
    EXPECT_EQ(text.exit, 0);
    EXPECT_EQ(lineCount(text.out), 16);
    EXPECT_TRUE(has(text.out,
                    " 11  ZMT-B4/B5  7-bit       7     0.25 dB  31.75 dB  parallel, addressable\n"))
        << text.out;
    EXPECT_TRUE(
        has(text.out, " 14  ZMG-C1     dual 6-bit  2x6   0.50 dB  31.50 dB  serial, parallel\n"));

    const auto json = run("devices --json").json();
    ASSERT_EQ(json.size(), 15u);
    EXPECT_EQ(json[14]["attenuators"], 2);
    EXPECT_EQ(json[12]["interfaces"], nlohmann::json::array({"addressable"}));
    EXPECT_EQ(json[8]["top_db"], 31.75);
    EXPECT_EQ(json[0]["step_db"], 0.5);
}

TEST(CliList, ListsChipsOrSaysWhyNot) {
    const CliRun r = run("list --json");
    if (r.exit == 3) {
        EXPECT_TRUE(has(r.err, "cannot list USB devices")) << r.err;
        return;
    }
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_TRUE(r.json().is_array());
}

}  // namespace
}  // namespace stepctl::cli::test
