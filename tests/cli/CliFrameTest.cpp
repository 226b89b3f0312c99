// stepctl-cli frame: hex, json and vcd each give the bytes the frame builders give.
#include <gtest/gtest.h>

#include "CliHarness.h"
#include "FrameCases.h"
#include "FrameText.h"

namespace stepctl::cli::test {
namespace {

TEST(CliFrame, HexIsOneLineOfThirtySixUpperCaseBytes) {
    // One line: 36 upper-case two-digit bytes, single spaces between them.
    auto oneLine = [](const std::string& text) {
        if (text.size() != 36 * 3)
            return false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            const bool ok = i % 3 == 2 ? c == (i + 1 == text.size() ? '\n' : ' ')
                                       : (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
            if (!ok)
                return false;
        }
        return true;
    };
    for (const FrameCase& c : frameCases()) {
        const CliRun r = run("frame " + c.args);
        ASSERT_EQ(r.exit, 0) << c.args << "\n" << r.err;
        EXPECT_TRUE(oneLine(r.out)) << r.out;
        EXPECT_EQ(r.out, frameHex(c.frame) + "\n") << c.args;
    }
    // A worked example written out, so that the hex text itself is pinned down.
    std::string parallel42 = "00 C4 CC C4";
    for (int i = 0; i < 32; ++i)
        parallel42 += " 00";
    EXPECT_EQ(run("frame --device 3 --interface parallel --db 21 --format hex").out,
              parallel42 + "\n");
}

TEST(CliFrame, JsonCarriesCodesDbKindAndBytes) {
    for (const FrameCase& c : frameCases()) {
        const CliRun r = run("frame --format json " + c.args);
        ASSERT_EQ(r.exit, 0) << c.args;
        const nlohmann::json json = r.json();
        EXPECT_EQ(json["bytes"].get<std::vector<int>>(),
                  std::vector<int>(c.frame.begin(), c.frame.end()))
            << c.args;
        EXPECT_EQ(json["kind"], std::string(frameKindName(c.kind))) << c.args;
        EXPECT_EQ(json["codes"].get<std::vector<int>>(), c.codes) << c.args;
        EXPECT_EQ(json["db"].size(), c.codes.size());
        EXPECT_EQ(json["hex"], frameHex(c.frame));
        if (c.kind == FrameKind::Addressable6 || c.kind == FrameKind::Addressable7) {
            EXPECT_EQ(json["address"], c.address);
        } else {
            EXPECT_EQ(json["address"], nullptr);
        }
    }
    const auto dual =
        run("frame --format json --device 14 --interface serial --db 7 --db2 32").json();
    EXPECT_EQ(dual["db"], nlohmann::json::array({7.0, 31.5}));
}

TEST(CliFrame, VcdIsTheBoardWriterOnTheSameBytesWithTheChosenOptions) {
    for (const FrameCase& c : frameCases()) {
        EXPECT_EQ(run("frame --format vcd " + c.args).out, frameToVcd(c.kind, c.frame)) << c.args;
        VcdOptions options;
        options.samplePeriodPs = 1'000'000;
        options.plainPinNames = true;
        EXPECT_EQ(run("frame --format vcd --sample-period-ps 1000000 --plain-pins " + c.args).out,
                  frameToVcd(c.kind, c.frame, options))
            << c.args;
    }
    // The period sets every timestamp, the trailing one included.
    const std::string vcd =
        run("frame --format vcd --sample-period-ps 250 --device 3 --interface serial --db 1").out;
    EXPECT_TRUE(vcd.ends_with("\n#9000\n")) << vcd;
    EXPECT_NE(vcd.find("$var wire 1 ! DATA $end"), std::string::npos);
    EXPECT_NE(vcd.find("$timescale 1ps $end"), std::string::npos);
}

TEST(CliFrame, RefusesBadFormatOptionsAndWarnsAboutMisplacedOnes) {
    const std::string target = " --device 3 --interface serial --db 1";
    for (const char* bad :
         {"--format xml", "--format he", "--sample-period-ps 0", "--sample-period-ps -5",
          "--sample-period-ps 1.5", "--sample-period-ps 1000000000001", "--sample-period-ps ps"}) {
        const CliRun r = run(std::string("frame ") + bad + target);
        EXPECT_EQ(r.exit, 2) << bad;
        EXPECT_EQ(lineCount(r.err), 1) << r.err;
        EXPECT_EQ(r.out, "");
    }
    const CliRun misplaced = run("frame --plain-pins" + target);
    EXPECT_EQ(misplaced.exit, 0);
    EXPECT_NE(misplaced.err.find("only apply to --format vcd"), std::string::npos);
    // frame touches no board, so it takes no board options.
    EXPECT_EQ(run("frame --board sim" + target).exit, 2);
}

}  // namespace
}  // namespace stepctl::cli::test
