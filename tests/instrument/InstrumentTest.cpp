// The SCPI command set on the simulated board, in process: each line, its reply, what reached
// the board and what went into the client's error queue.
#include <gtest/gtest.h>

#include "Instrument.h"
#include "RecordingLink.h"

namespace stepctl::instrument::test {
namespace {

using session::BoardSession;

class InstrumentTest : public ::testing::Test {
  protected:
    // The reply ("" for none) and the errors the line queued, by number.
    std::pair<std::string, std::vector<int>> run(std::string_view line) {
        const auto reply = instrument_.execute(line, client_);
        std::vector<int> errors;
        while (client_.count() > 0)
            errors.push_back(client_.next().code);
        return {reply.value_or(""), errors};
    }
    int exchanges() const {
        int writes = 0;
        for (const auto& call : recorder_->calls())
            writes += call.op == LinkOp::Write ? 1 : 0;
        return writes;
    }

    SimulatedBoard board_;
    RecordingLink* recorder_ = new RecordingLink(board_);
    BoardSession session_{std::unique_ptr<BoardLink>(recorder_), &board_};
    Instrument instrument_{session_, [] { return std::string("SIM"); }, "9.9"};
    scpi::ClientStatus client_;
};

struct Case {
    const char* line;
    const char* reply;
    std::vector<int> errors;
    int exchanges;  // frames the line wrote
};

// One session, line by line: each row starts where the row above left the instrument.
TEST_F(InstrumentTest, RunsASessionLineByLine) {
    const Case session[] = {
        {"*IDN?", "StepCtl,ZMG-A1,SIM,9.9", {}, 0},
        {"DEV ZMG-A4;DEV?;INT?;ADDR?", "ZMG-A4;SER;0", {}, 0},
        {"ATT 10.7;ATT?;ATT:CODE?;:BOAR:HOLD?", "10.50;21;21", {}, 1},  // quantised down
        {"ATT 31.6", "", {-222}, 0},                                    // out of range: not sent
        {"ATT -0.1", "", {-222}, 0},
        {"ATT MAX;ATT UP", "", {-222}, 1},
        {"ATT?;ATT DOWN;ATT?", "31.50;31.00", {}, 1},
        {"ATT:CODE 64", "", {-222}, 0},
        {"ATT:CODE 2.5", "", {-224}, 0},
        {"ATT abc", "", {-224}, 0},
        {"ATT2 1", "", {-221}, 0},  // one attenuator
        {"ATT3?", "", {-113}, 0},
        {"DEV 14;INT PAR;ATT 3;ATT2 5dB;ATT?;ATT2?;BOAR:HOLD?", "3.00;5.00;6,10", {}, 2},
        {"INT ADDR;ATT2 1", "", {-221}, 0},  // addressable sends the first code only
        {"ADDR 8", "", {-222}, 0},
        {"DEV 11;ADDR 5;ATT:CODE 9;:BOAR:HOLD?", "-1,-1,-1,-1,-1,9,-1,-1", {}, 1},
        {"FRAM?", "", {}, 0},  // checked below
        {"INT BOGUS;DEV ZMG-Z9;DEV 15", "", {-224, -224, -224}, 0},
        {"ATT", "", {-109}, 0},
        {"ATT? 1", "", {-108}, 0},
        {"*TST?", "0", {}, 0},  // the held chip answers without a new exchange
        {"*RST;DEV?;INT?;ATT?", "ZMG-A1;SER;0.00", {}, 0},
        {"FRAM?", "", {-221}, 0},  // nothing sent since the reset
        {"SYST:VERS?;*OPC?", "1999.0;1", {}, 0},
    };
    for (const Case& c : session) {
        const int before = exchanges();
        const auto [reply, errors] = run(c.line);
        if (std::string_view(c.line) != "FRAM?" || !c.errors.empty())
            EXPECT_EQ(reply, c.reply) << c.line;
        else
            EXPECT_EQ(reply.size(), 36u * 3 - 1) << reply;  // 36 hex bytes
        EXPECT_EQ(errors, c.errors) << c.line;
        EXPECT_EQ(exchanges() - before, c.exchanges) << c.line;
    }
}

TEST_F(InstrumentTest, ReportsAFailedExchangeAndKeepsTheLastSetting) {
    run("DEV 3;ATT 5");
    board_.failCall(LinkOp::Write);
    EXPECT_EQ(run("ATT 7;ATT?"), (std::pair<std::string, std::vector<int>>{"5.00", {-240}}));
    board_.clearFaults();
    board_.plug(false);
    EXPECT_EQ(run("ATT 7;ATT?;*TST?"),
              (std::pair<std::string, std::vector<int>>{"5.00;1", {-241}}));
}

TEST_F(InstrumentTest, StatusRegistersFollowTheErrors) {
    EXPECT_EQ(run("*ESE 32;*ESE?;*STB?").first, "32;0");
    instrument_.execute("NOPE", client_);
    EXPECT_EQ(instrument_.execute("*STB?;SYST:ERR:COUN?", client_), "100;1");  // 0x64
    EXPECT_EQ(instrument_.execute("*ESR?;*ESR?", client_), "32;0");
    EXPECT_EQ(instrument_.execute("*CLS;SYST:ERR?", client_), "0,\"No error\"");
}

TEST_F(InstrumentTest, FtdiLinkHasNoHolds) {
    BoardSession chip(std::make_unique<RecordingLink>(board_), nullptr);
    Instrument onChip(
        chip, [] { return std::string("FT1234"); }, "9.9");
    EXPECT_EQ(onChip.execute("BOAR:HOLD?", client_), std::nullopt);
    EXPECT_EQ(client_.next().code, -241);
    EXPECT_EQ(onChip.execute("*IDN?", client_), "StepCtl,ZMG-A1,FT1234,9.9");
}

}  // namespace
}  // namespace stepctl::instrument::test
