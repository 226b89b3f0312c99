// stepctl-cli sweep against the simulated board.
#include <gtest/gtest.h>

#include <chrono>

#include "CliHarness.h"

namespace stepctl::cli::test {
namespace {

std::vector<nlohmann::json> jsonLines(const std::string& text) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(nlohmann::json::parse(line));
    return lines;
}

constexpr const char* kSweep = "sweep --board sim --dwell-ms 0 ";

TEST(CliSweep, SendsEachPointInTurnWithAProgressLine) {
    const CliRun text =
        run(std::string(kSweep) + "--device 3 --interface serial --from 0 --to 2 --step 0.5");
    EXPECT_EQ(text.exit, 0) << text.err;
    EXPECT_EQ(text.out,
              "step 1/5: 0 dB: sent code 0 (0.00 dB)\n"
              "step 2/5: 0.5 dB: sent code 1 (0.50 dB)\n"
              "step 3/5: 1 dB: sent code 2 (1.00 dB)\n"
              "step 4/5: 1.5 dB: sent code 3 (1.50 dB)\n"
              "step 5/5: 2 dB: sent code 4 (2.00 dB)\n"
              "sim: attenuator: code 4 (2.00 dB)\n");

    const CliRun json = run(std::string(kSweep) +
                            "--device 9 --interface parallel --from 1 --to 0 --step 0.25 --json");
    const auto lines = jsonLines(json.out);
    ASSERT_EQ(lines.size(), 5u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]["step"], i + 1);
        EXPECT_EQ(lines[i]["steps"], 5);
        EXPECT_EQ(lines[i]["codes"], nlohmann::json::array({4 - static_cast<int>(i)}));
        EXPECT_EQ(lines[i]["latched"][0]["code"], 4 - static_cast<int>(i));
        EXPECT_EQ(lines[i]["status"], "sent");
    }
    EXPECT_EQ(lines[1]["requested_db"], 0.75);

    // Decimal steps reach the end: 11 points from 0 to 3 by 0.3.
    const auto decimal = jsonLines(
        run(std::string(kSweep) + "--device ZMG-B1 --interface serial --from 0 --to 3 --step 0.3 "
                                  "--json")
            .out);
    ASSERT_EQ(decimal.size(), 11u);
    EXPECT_EQ(decimal.back()["requested_db"], 3.0);
    EXPECT_EQ(decimal.back()["codes"], nlohmann::json::array({12}));
}

TEST(CliSweep, ClampsItsEndsAndWarnsAboutFineSteps) {
    const CliRun r = run(std::string(kSweep) +
                         "--device 3 --interface serial --from=-3 --to 40 --step 16 --json");
    EXPECT_EQ(r.exit, 0);
    EXPECT_NE(r.err.find("--from -3 is below 0 dB"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--to 40 is above the top"), std::string::npos);
    const auto lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 2u);  // 0 and 16: the clamped end 31.5 is not a whole step away
    EXPECT_EQ(lines[1]["codes"], nlohmann::json::array({32}));

    const CliRun fine =
        run(std::string(kSweep) + "--device 3 --interface serial --from 0 --to 0.5 --step 0.25");
    EXPECT_NE(fine.err.find("finer than the 0.50 dB step"), std::string::npos) << fine.err;
    EXPECT_NE(fine.out.find("step 2/3: 0.25 dB: sent code 0 (0.00 dB)"), std::string::npos);
}

TEST(CliSweep, DualRowHoldsTheSecondAttenuatorAtDb2) {
    const std::string dual =
        std::string(kSweep) + "--device 14 --interface serial --from 0 --to 1 --step 1 ";
    EXPECT_EQ(run(dual).exit, 2);
    const auto lines = jsonLines(run(dual + "--db2 5 --json").out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0]["codes"], nlohmann::json::array({0, 10}));
    EXPECT_EQ(lines[1]["codes"], nlohmann::json::array({2, 10}));
    EXPECT_EQ(lines[1]["kind"], "dual");
}

TEST(CliSweep, StopsAtTheFirstFailureWithItsExitCode) {
    const std::string target = " --device 3 --interface serial --from 0 --to 5 --step 1";
    const CliRun failed = run(std::string(kSweep) + "--sim-fault write" + target);
    EXPECT_EQ(failed.exit, 4);
    EXPECT_EQ(lineCount(failed.out), 1);
    EXPECT_NE(failed.out.find("step 1/6: 0 dB: not sent"), std::string::npos) << failed.out;
    EXPECT_NE(failed.err.find("sweep stopped at step 1"), std::string::npos) << failed.err;
    EXPECT_EQ(run(std::string(kSweep) + "--sim-fault unplugged" + target).exit, 3);
    EXPECT_EQ(run("sweep --dwell-ms 0 --serial NO-SUCH-CHIP-0" + target).exit, 3);
}

TEST(CliSweep, RefusesBadValuesForEachOfItsOptions) {
    const std::string row = "sweep --board sim --device 3 --interface serial ";
    for (const char* bad :
         {"--from abc --to 1 --step 1 --dwell-ms 0", "--from 0 --to 1dBm --step 1 --dwell-ms 0",
          "--from 0 --to 1 --step 0 --dwell-ms 0", "--from 0 --to 1 --step -1 --dwell-ms 0",
          "--from 0 --to 1 --step x --dwell-ms 0", "--from 0 --to 31 --step 0.001 --dwell-ms 0",
          "--from 0 --to 1 --step 1 --dwell-ms -1", "--from 0 --to 1 --step 1 --dwell-ms 1.5",
          "--from 0 --to 1 --step 1 --dwell-ms 86400001", "--from 0 --to 1 --step 1",
          "--to 1 --step 1 --dwell-ms 0"}) {
        const CliRun r = run(row + bad);
        EXPECT_EQ(r.exit, 2) << bad;
        EXPECT_EQ(lineCount(r.err), 1) << bad << "\n" << r.err;
        EXPECT_EQ(r.out, "") << bad;
    }
}

TEST(CliSweep, EveryStepHoldsItsDwellTheLastToo) {
    const auto start = std::chrono::steady_clock::now();
    const CliRun r = run(
        "sweep --board sim --device 3 --interface serial --from 0 --to 1 --step 1 --dwell-ms 200");
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.exit, 0);
    EXPECT_GE(elapsed, std::chrono::milliseconds(400));
    EXPECT_LT(elapsed, std::chrono::milliseconds(590));  // a third dwell would reach 600
}

}  // namespace
}  // namespace stepctl::cli::test
