// play --timed end to end in process: the driver calls and the stream over the fake D2XX
// library, the simulated board's timing, and a refusal before anything is opened.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "CliHarness.h"
#include "FakeD2xx.h"
#include "Frames.h"

namespace stepctl::cli::test {
namespace {

namespace fs = std::filesystem;

class TimedPlay : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("stepctl-timed-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        fake_.reset();
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string list(const std::string& text) {
        const std::string path = (dir_ / ("list" + std::to_string(lists_++) + ".txt")).string();
        std::ofstream(path) << text;
        return path;
    }

    fs::path dir_;
    int lists_ = 0;
    stepctl::test::FakeD2xx fake_;
};

constexpr const char* kList = "10,1\n20.5,0.5\n31.5,2\n0,0.36\n7,1.234\n";
constexpr const char* kPlay =
    "play --timed --sample-rate 100000 --device ZMG-A4 --interface serial ";

std::string hexOf(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char two[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(two, sizeof two, " %02X", b);
        text += two;
    }
    return text;
}

TEST_F(TimedPlay, WritesTheStreamAfterOneOpenOneModeAndOneRate) {
    const CliRun r = run(std::string(kPlay) + "--driver d2xx --repeat 2 --file " + list(kList));
    ASSERT_EQ(r.exit, 0) << r.err;
    std::vector<std::uint8_t> pass;
    const std::pair<int, std::size_t> steps[] = {
        {20, 100}, {41, 50}, {63, 200}, {0, 36}, {14, 123}};
    for (const auto& [code, samples] : steps) {
        const Frame frame = buildControlFrame(Interface::Serial, false, code);
        pass.insert(pass.end(), frame.begin(), frame.end());
        pass.insert(pass.end(), samples - kFrameSize, 0);
    }
    std::vector<std::uint8_t> both = pass;
    both.insert(both.end(), pass.begin(), pass.end());
    // 6250 x 16 = 100000 samples/s on an FT232R; 1018 bytes fit one write.
    EXPECT_EQ(fake_.calls(),
              (std::vector<std::string>{
                  "FT_Open(0) #0", "FT_SetBitMode(#0, 0xFF, 1)", "FT_SetBaudRate(#0, 6250)",
                  "FT_Write(#0, 1018, took 1018)" + hexOf(both), "FT_Close(#0)"}));
    EXPECT_NE(r.out.find("timed stream: 1018 samples at 100000 samples/s"), std::string::npos);
}

TEST_F(TimedPlay, RefusesAStepShorterThanItsFrameBeforeOpening) {
    const CliRun r = run(std::string(kPlay) + "--driver d2xx --file " + list("10,1\n20,0.2\n"));
    EXPECT_EQ(r.exit, 2);
    EXPECT_NE(r.err.find("line 2: dwell 0.2 ms is 20 samples"), std::string::npos) << r.err;
    EXPECT_TRUE(fake_.calls().empty());
    EXPECT_EQ(
        run(std::string(kPlay) + "--sample-rate 2000000 --driver d2xx --file " + list(kList)).exit,
        2);
    EXPECT_EQ(
        run("play --vcd x.vcd --device 3 --interface serial --board sim --file " + list(kList))
            .exit,
        2);
}

TEST_F(TimedPlay, TheSimulatedBoardShowsEachStepAtItsSample) {
    const CliRun r = run(std::string(kPlay) + "--board sim --json --file " + list(kList));
    ASSERT_EQ(r.exit, 0) << r.err;
    std::istringstream lines(r.out);
    std::vector<double> starts;
    std::vector<int> latched;
    for (std::string line; std::getline(lines, line);) {
        const auto json = nlohmann::json::parse(line);
        if (!json.contains("t_s"))
            continue;
        starts.push_back(json["t_s"].get<double>() * 1e3);
        ASSERT_EQ(json["latches"].size(), 1u) << line;
        latched.push_back(json["latches"][0]["code"]);
        // The latch falls inside the step's own frame.
        const double at = json["latches"][0]["t_s"].get<double>() - json["t_s"].get<double>();
        EXPECT_TRUE(at >= 0 && at < 36e-5) << line;
    }
    ASSERT_EQ(starts.size(), 5u);
    const double want[] = {0, 1, 1.5, 3.5, 3.86};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(starts[i], want[i], 1e-9) << i;
    EXPECT_EQ(latched, (std::vector<int>{20, 41, 63, 0, 14}));
}

}  // namespace
}  // namespace stepctl::cli::test
