// sigrok-cli's SPI decoder reads the codes back from DATA and CLK of the exported VCD. No chip
// select is given: the decoder then counts bits from the first clock edge, which is where each
// frame begins. Word sizes and bit orders follow the frames: 6 bits MSB first, 8 bits LSB first
// (seven code bits and a 0), 9 bits MSB first (code, then A0 A1 A2), 16 bits LSB first (code
// byte, address byte), and the dual frame as two 6-bit words.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "CliHarness.h"

namespace stepctl::cli::test {
namespace {

struct Decoding {
    int wordsize;
    const char* bitorder;
};

// The words sigrok prints for "spi=mosi-data", as numbers.
std::vector<int> decode(const std::string& vcd, Decoding how) {
    static int counter = 0;
    const auto path =
        std::filesystem::temp_directory_path() /
        ("stepctl-sigrok-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".vcd");
    std::ofstream(path) << vcd;
    const std::string command =
        std::string(SIGROK_CLI) + " -I vcd -i " + path.string() +
        " -P spi:clk=CLK:mosi=DATA:wordsize=" + std::to_string(how.wordsize) +
        ":bitorder=" + how.bitorder + " -A spi=mosi-data 2>&1";
    std::vector<int> words;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, pipe) != nullptr) {
            unsigned word = 0;
            if (std::sscanf(line, "spi-1: %x", &word) == 1)
                words.push_back(static_cast<int>(word));
            else
                ADD_FAILURE() << "sigrok-cli: " << line;
        }
        pclose(pipe);
    }
    std::filesystem::remove(path);
    return words;
}

std::string vcdOf(const std::string& args) {
    const CliRun r = run("frame --format vcd " + args);
    EXPECT_EQ(r.exit, 0) << r.err;
    return r.out;
}

// The 6-bit addressable word ends with A0 A1 A2: the address bits reversed.
int reversed3(int address) {
    return ((address & 1) << 2) | (address & 2) | ((address >> 2) & 1);
}

TEST(SigrokSpi, ReadsTheCodesOfEveryFrameKind) {
    const struct {
        std::string args;
        Decoding how;
        std::vector<int> words;
    } cases[] = {
        {"--device 3 --interface serial --db 21", {6, "msb-first"}, {42}},
        {"--device 3 --interface serial --db 0", {6, "msb-first"}, {0}},
        {"--device 9 --interface serial --db 21.25", {8, "lsb-first"}, {85}},
        {"--device 9 --interface serial --db 31.75", {8, "lsb-first"}, {127}},
        {"--device 7 --interface addressable --db 21 --address 6",
         {9, "msb-first"},
         {42 << 3 | reversed3(6)}},
        {"--device 7 --interface addressable --db 31.5 --address 1",
         {9, "msb-first"},
         {63 << 3 | reversed3(1)}},
        {"--device 11 --interface addressable --db 21.25 --address 5",
         {16, "lsb-first"},
         {5 << 8 | 85}},
        {"--device 14 --interface serial --db 21 --db2 10.5", {6, "msb-first"}, {42, 21}},
        {"--device 14 --interface parallel --db 31.5 --db2 0", {6, "msb-first"}, {63, 0}},
        // Another sample period moves every edge; the decoder follows the clock.
        {"--sample-period-ps 40000 --device 3 --interface serial --db 21", {6, "msb-first"}, {42}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decode(vcdOf(c.args), c.how), c.words) << c.args;
}

// A timed stream's VCD is the whole sequence at its real timescale: one word per step.
TEST(SigrokSpi, ReadsEveryStepOfATimedStream) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("stepctl-sigrok-timed-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string list = (dir / "list.txt").string(), vcd = (dir / "stream.vcd").string();
    std::ofstream(list) << "10,1\n20.5,0.5\n31.5,2\n";
    const CliRun r =
        run("play --timed --sample-rate 100000 --board sim --device ZMG-A4 "
            "--interface serial --file " +
            list + " --vcd " + vcd);
    ASSERT_EQ(r.exit, 0) << r.err;
    std::ifstream in(vcd);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(decode(text, {6, "msb-first"}), (std::vector<int>{20, 41, 63}));
    // 350 samples of 10 us, in units of the sample period: the last timestamp is 3.5 ms.
    EXPECT_NE(text.find("$timescale 10us $end"), std::string::npos);
    EXPECT_NE(text.find("\n#350\n"), std::string::npos);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace stepctl::cli::test
