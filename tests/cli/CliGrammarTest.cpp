// How stepctl-cli reads its command line and delivers its results: names in any case, unknown
// options named, empty values refused, help and version texts, and output that cannot be
// written failing the command.
#include <gtest/gtest.h>

#include <streambuf>

#include "CliHarness.h"
#include "CliProcess.h"
#include "Version.h"

namespace stepctl::cli::test {
namespace {

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

constexpr const char* kTarget = " --device 3 --interface serial --db 1";

TEST(CliGrammar, EnumeratedValuesTakeAnyCase) {
    for (const std::string args :
         {"send --board SIM --device 3 --interface SERIAL --db 1",
          "send --board Sim --sim-fault Write --device 3 --interface "
          "serial --db 1",
          "frame --format VCD --device zmg-a4 --interface Serial --db 1", "probe --board sIm"}) {
        const CliRun r = run(args);
        EXPECT_FALSE(has(r.err, "is not one of")) << args << "\n" << r.err;
        EXPECT_NE(r.exit, 2) << args;
    }
    // The value goes on in its own spelling: the fault is the write fault, the format vcd.
    EXPECT_EQ(run("send --board SIM --sim-fault WRITE" + std::string(kTarget)).exit, 4);
    EXPECT_TRUE(has(run("frame --format Vcd" + std::string(kTarget)).out, "$timescale"));
}

TEST(CliGrammar, RefusalsNameTheRealProblem) {
    struct Case {
        std::vector<std::string> args;
        std::string err;  // the whole of stderr
    };
    const std::vector<Case> cases{
        // A misspelt option, with or without the required ones.
        {{"send", "--colour", "red"}, "unknown option '--colour' (see stepctl-cli send --help)"},
        {{"probe", "--json", "--serail=X"},
         "unknown option '--serail' (see stepctl-cli probe --help)"},
        // An empty value after '=' is the empty value, not a missing one.
        {{"send", "--device", "3", "--interface", "serial", "--db="},
         "--db: '' is not a number in dB (for example 10.5 or 10.5dB)"},
        {{"send", "--board=", "--device", "3", "--interface", "serial", "--db", "1"},
         "--board: '' is not one of ftdi, sim"},
        // Decimal only: a leading zero is not octal.
        {{"send", "--device", "12", "--interface", "addressable", "--address", "010", "--db", "1"},
         "--address: '010' is outside 0..7"},
        {{"frame", "--format", "wav", "--device", "3", "--interface", "serial", "--db", "1"},
         "--format: 'wav' is not one of hex, json, vcd"},
    };
    for (const Case& c : cases) {
        const CliRun r = runArgs(c.args);
        EXPECT_EQ(r.exit, 2) << c.err;
        EXPECT_EQ(r.err, "stepctl-cli: " + c.err + "\n");
    }
}

TEST(CliGrammar, HelpAndVersionEndWithANewline) {
    for (const char* args : {"--help", "devices --help", "list --help", "probe --help",
                             "send --help", "frame --help", "sweep --help"}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.exit, 0) << args;
        ASSERT_FALSE(r.out.empty()) << args;
        EXPECT_EQ(r.out.back(), '\n') << args;
        EXPECT_TRUE(has(r.out, "5 output lost")) << args;
    }
    std::string version = "stepctl-cli ";
    version.append(kVersion).append("\n");
    EXPECT_EQ(run("--version").out, version);
}

// A stream whose every write fails, as stdout on a full disk.
class FullDisk : public std::streambuf {
  protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST(CliOutput, ALostResultFailsTheCommand) {
    struct Case {
        std::string args;
        int exit;
    };
    for (const Case& c : {Case{"devices", 5},
                          {"--help", 5},
                          {"frame --format vcd" + std::string(kTarget), 5},
                          {"send --board sim" + std::string(kTarget), 5},
                          // A failure of its own keeps its code.
                          {"send --board sim --sim-fault write" + std::string(kTarget), 4}}) {
        FullDisk disk;
        std::ostream out(&disk);
        std::ostringstream err;
        std::vector<std::string> args;
        std::istringstream words(c.args);
        for (std::string word; words >> word;)
            args.push_back(word);
        EXPECT_EQ(runCli(args, out, err), c.exit) << c.args;
        EXPECT_TRUE(has(err.str(), "stepctl-cli: the output could not be written")) << c.args;
    }
}

TEST(CliOutput, AFullDiskOrAClosedStdoutReachesTheShell) {
    const std::vector<std::string> vcd{"frame",       "--format", "vcd",  "--device", "3",
                                       "--interface", "serial",   "--db", "1"};
    Process full(vcd, Stdout::Full);
    EXPECT_EQ(full.wait(), 5);
    EXPECT_EQ(full.err(),
              "stepctl-cli: the output could not be written: No space left on device\n");
    Process closed(
        {"send", "--board", "sim", "--device", "3", "--interface", "serial", "--db", "1"},
        Stdout::Closed);
    EXPECT_EQ(closed.wait(), 5);
    EXPECT_TRUE(has(closed.err(), "standard output is closed; nothing done")) << closed.err();
}

}  // namespace
}  // namespace stepctl::cli::test
