// play's hop lists, sweep's new shapes, and how both stop on a signal or a closed pipe.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "CliHarness.h"
#include "CliProcess.h"
#include "HopList.h"

namespace stepctl::cli::test {
using namespace stepctl::session;
namespace {

using std::chrono::milliseconds;

TEST(HopList, ReadsLinesForOneOrTwoAttenuators) {
    Warnings warnings;
    const SendRequest single{3, Interface::Serial, 0, "", ""};
    const auto steps = readHopList("# a list\n1\n\n 2.5 , 100 \n40,,7 # too high\n", single,
                                   milliseconds(20), warnings);
    ASSERT_TRUE(steps.ok()) << steps.error();
    ASSERT_EQ(steps->size(), 3u);
    EXPECT_EQ((*steps)[0].text1, "1");
    EXPECT_EQ((*steps)[0].dwell, milliseconds(20));
    EXPECT_EQ((*steps)[1].dwell, milliseconds(100));
    EXPECT_EQ((*steps)[2].dwell, milliseconds(7));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("line 5: 40 dB is above the top"), std::string::npos);

    const SendRequest dual{14, Interface::Serial, 0, "", ""};
    const auto both = readHopList("1,2\n3,4,5", dual, milliseconds(0), warnings);
    ASSERT_TRUE(both.ok());
    EXPECT_EQ((*both)[1].text2, "4");
    EXPECT_EQ((*both)[1].dwell, milliseconds(5));
}

TEST(HopList, RefusesABadLineByItsNumber) {
    const SendRequest single{3, Interface::Serial, 0, "", ""};
    const SendRequest dual{14, Interface::Serial, 0, "", ""};
    const std::tuple<const SendRequest*, const char*, const char*> cases[] = {
        {&single, "1\nabc\n", "line 2: 'abc' is not a number"},
        {&single, "1\nnan(7)\n", "line 2: 'nan(7)' is not a number"},
        {&single, "+inf\n", "line 1: '+inf' is not a number"},
        {&single, "1\n2,3,4\n", "line 2: '2,3,4' is not dB[,dwell_ms]"},
        {&single, "\n\n1,-5\n", "line 3: dwell_ms"},
        {&dual, "1\n", "line 1: '1' is not dB,dB2[,dwell_ms]"},
        {&single, "# nothing\n\n", "holds no setting"},
    };
    for (const auto& [target, text, reason] : cases) {
        Warnings warnings;
        const auto steps = readHopList(text, *target, milliseconds(0), warnings);
        ASSERT_FALSE(steps.ok()) << text;
        EXPECT_NE(steps.error().find(reason), std::string::npos) << steps.error();
    }
}

TEST(CliPlay, PlaysTheListAsOftenAsAskedAndRefusesBeforeSending) {
    const auto dir = fs::temp_directory_path() / ("stepctl-play-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string good = (dir / "good.txt").string();
    const std::string bad = (dir / "bad.txt").string();
    std::ofstream(good) << "1\n2\n";
    std::ofstream(bad) << "1\n2\nx\n";
    const std::string play = "play --board sim --device 3 --interface serial --file ";
    const CliRun r = run(play + good + " --repeat 2");
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out,
              "step 1/4: 1 dB: sent code 2 (1.00 dB)\nstep 2/4: 2 dB: sent code 4 (2.00 dB)\n"
              "step 3/4: 1 dB: sent code 2 (1.00 dB)\nstep 4/4: 2 dB: sent code 4 (2.00 dB)\n"
              "sim: attenuator: code 4 (2.00 dB)\n");
    const CliRun refused = run(play + bad);
    EXPECT_EQ(refused.exit, 2);
    EXPECT_EQ(refused.out, "");  // nothing sent
    EXPECT_NE(refused.err.find("line 3"), std::string::npos) << refused.err;
    EXPECT_EQ(run(play + (dir / "absent.txt").string()).exit, 2);
    // The level reported is the one typed, sign and all.
    const std::string plus = (dir / "plus.txt").string();
    std::ofstream(plus) << "+5\n";
    const CliRun json = run(play + plus + " --json");
    EXPECT_NE(json.out.find("\"requested_db\":5.0,"), std::string::npos) << json.out;
    fs::remove_all(dir);
}

TEST(CliSweep, GoesUpAndDownAndRepeatsWithoutDoublingTheTurn) {
    const CliRun r =
        run("sweep --board sim --dwell-ms 0 --device 3 --interface serial --from 0 --to 1 --step 1 "
            "--bidirectional --repeat 2 --json");
    EXPECT_EQ(r.exit, 0) << r.err;
    std::vector<int> codes;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        codes.push_back(nlohmann::json::parse(line)["codes"][0]);
    EXPECT_EQ(codes, (std::vector<int>{0, 2, 0, 2, 0}));
    EXPECT_EQ(run("sweep --board sim --dwell-ms 0 --device 3 --interface serial --from 0 --to 1 "
                  "--step 1 --repeat -1")
                  .exit,
              2);
}

// SIGTERM and SIGHUP stop as Ctrl-C does, for both looping commands.
TEST(CliProcess, TermAndHupStopBetweenStepsWithTheStoppedLine) {
    const auto dir = fs::temp_directory_path() / ("stepctl-sig-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string list = (dir / "list.txt").string();
    std::ofstream(list) << "1\n2\n";
    const std::vector<std::string> target{"--board",     "sim",    "--device", "3",
                                          "--interface", "serial", "--repeat", "0"};
    const std::pair<int, const char*> signals[] = {{SIGTERM, "SIGTERM"}, {SIGHUP, "SIGHUP"}};
    for (const char* command : {"sweep", "play"}) {
        for (const auto& [sig, name] : signals) {
            std::vector<std::string> args{command};
            args.insert(args.end(), target.begin(), target.end());
            if (std::string_view(command) == "sweep") {
                for (const char* a :
                     {"--from", "0", "--to", "1", "--step", "1", "--dwell-ms", "50"})
                    args.push_back(a);
            } else {
                for (const char* a : {"--dwell-ms", "50", "--file"})
                    args.push_back(a);
                args.push_back(list);
            }
            Process p(args);
            ASSERT_TRUE(p.spawned());
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (p.out().find("step 2") == std::string::npos &&
                   std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(milliseconds(5));
            }
            p.signal(sig);
            EXPECT_EQ(p.wait(), 130) << command << " " << name;
            EXPECT_NE(p.err().find(std::string(command) + " stopped by " + name), std::string::npos)
                << p.err();
            EXPECT_NE(p.out().find("sim: attenuator: code"), std::string::npos) << p.out();
        }
    }
    fs::remove_all(dir);
}

// `| head -1` closes the pipe: the endless sweep ends on its own, not killed by SIGPIPE, and
// says nothing on stderr.
TEST(CliProcess, AClosedPipeEndsTheLoopQuietly) {
    const std::string sweep = std::string(STEPCTL_CLI) +
                              " sweep --board sim --device 3 --interface serial --from 0 --to 1 "
                              "--step 1 --dwell-ms 1 --repeat 0";
    const auto shellOutput = [](const std::string& script) {
        FILE* shell = popen(("bash -c '" + script + "'").c_str(), "r");
        std::string text;
        char chunk[256];
        while (shell != nullptr && std::fgets(chunk, sizeof chunk, shell) != nullptr)
            text += chunk;
        if (shell != nullptr)
            pclose(shell);
        return text;
    };
    EXPECT_EQ(shellOutput("set -o pipefail; " + sweep + " 2>&1 | head -1; echo \"exit $?\""),
              "step 1: 0 dB: sent code 0 (0.00 dB)\nexit 130\n");
    // stderr apart from the pipe: nothing on it.
    EXPECT_EQ(shellOutput("set -o pipefail; { " + sweep +
                          " | head -n 1 >/dev/null; } 2>&1; echo \"exit $?\""),
              "exit 130\n");
}

}  // namespace
}  // namespace stepctl::cli::test
