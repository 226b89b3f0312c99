// The SCPI command set on simulated boards, in process: each line, its reply, what reached the
// board and what went into the connection's error queue.
#include <gtest/gtest.h>

#include "Instrument.h"
#include "RecordingLink.h"

namespace stepctl::instrument::test {
namespace {

using session::BoardSession;
using Outcome = std::pair<std::string, std::vector<int>>;

struct SimBoard {
    SimulatedBoard board;
    RecordingLink* recorder = new RecordingLink(board);
    BoardSession session{std::unique_ptr<BoardLink>(recorder), &board};
    int writes() const {
        int n = 0;
        for (const auto& call : recorder->calls())
            n += call.op == LinkOp::Write ? 1 : 0;
        return n;
    }
};

class InstrumentTest : public ::testing::Test {
  protected:
    // The reply ("" for none) and the errors the line queued, by number.
    Outcome run(std::string_view line, Client& client) {
        const auto reply = instrument_.execute(line, client);
        std::vector<int> errors;
        while (client.status.count() > 0)
            errors.push_back(client.status.next().code);
        return {reply.value_or(""), errors};
    }
    Outcome run(std::string_view line) { return run(line, client_); }
    // The line with its waits honoured, as the server runs it: the event loop runs the
    // sequences meanwhile.
    std::string runWaiting(std::string_view line, Client& client) {
        LineRun run = Instrument::parse(line);
        while (!instrument_.proceed(run, client)) {
            bool ended = false;
            instrument_.whenSequenceEnds(client, [&ended] { ended = true; });
            io_.restart();  // it stops whenever it runs out of work
            while (!ended)
                io_.run_one();
        }
        return run.reply.value_or("");
    }

    asio::io_context io_;
    SimBoard a_, b_;
    Instrument instrument_{io_,
                           {{&a_.session, [] { return std::string("A1"); }},
                            {&b_.session, [] { return std::string("B2"); }}},
                           "9.9"};
    Client client_ = instrument_.connect();
};

struct Case {
    const char* line;
    const char* reply;
    std::vector<int> errors;
    int exchanges;  // frames the line wrote
};

// One connection, line by line: each row starts where the row above left the instrument.
TEST_F(InstrumentTest, RunsASessionLineByLine) {
    const Case session[] = {
        {"*IDN?", "StepCtl,ZMG-A1,A1,9.9", {}, 0},
        {"ATT?;ATT:CODE?;:ATT UP", "9.91E+37;-1", {-221}, 0},  // nothing held yet
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
        {"ATT? 1", "", {-224}, 0},
        {"ATT? MIN, MAX", "", {-108}, 0},
        {"*TST?", "0", {}, 0},  // the held chip answers without a new exchange
        // *RST leaves the hardware as described and the levels as held.
        {"DEV ZMG-A4;:INT SER;:ATT 20;*RST;DEV?;INT?;ATT?;BOAR:HOLD?",
         "ZMG-A4;SER;20.00;40",
         {},
         1},
        {"*RST;ATT UP;ATT?", "20.50", {}, 1},  // a step from what the board holds
        {"SYST:VERS?;*OPC?", "1999.0;1", {}, 0},
        // Limits, for the device selected.
        {"ATT? MAX;ATT? MIN;ATT? DEF;ATT:STEP?;:ATT:CODE? MAX", "31.50;0.00;0.00;0.50;63", {}, 0},
        {"DEV ZMG-B1;:ATT? MAX;ATT:STEP?;:ATT:CODE? MAX", "31.75;0.25;127", {}, 0},
    };
    for (const Case& c : session) {
        const int before = a_.writes();
        const auto [reply, errors] = run(c.line);
        if (std::string_view(c.line) != "FRAM?")
            EXPECT_EQ(reply, c.reply) << c.line;
        else
            EXPECT_EQ(reply.size(), 36u * 3 - 1) << reply;  // 36 hex bytes
        EXPECT_EQ(errors, c.errors) << c.line;
        EXPECT_EQ(a_.writes() - before, c.exchanges) << c.line;
    }
    EXPECT_EQ(b_.writes(), 0);
}

// Boards belong to the instrument, selections to connections.
TEST_F(InstrumentTest, EachConnectionSelectsItsBoard) {
    Client other = instrument_.connect();
    const struct {
        Client* client;
        const char* line;
        const char* reply;
        std::vector<int> errors;
    } steps[] = {
        {&client_, "INST:CAT?;:INST?;:INST:NSEL?", "\"A1\",\"B2\";\"A1\";1", {}},
        {&other, "INST \"B2\";:INST?;:INST:NSEL?;*IDN?", "\"B2\";2;StepCtl,ZMG-A1,B2,9.9", {}},
        {&other, "DEV 3;ATT 7;ATT?", "7.00", {}},
        {&client_, "DEV?;ATT?;ATT 2;ATT?", "ZMG-A1;9.91E+37;2.00", {}},
        {&other, "ATT?;INST:SEL B2;:INST:NSEL 1;:ATT?", "7.00;2.00", {}},
        {&client_, "INST:NSEL 3;:INST:SEL \"C3\";:INST:NSEL?", "1", {-222, -224}},
    };
    for (const auto& s : steps)
        EXPECT_EQ(run(s.line, *s.client), (Outcome{s.reply, s.errors})) << s.line;
    EXPECT_EQ(a_.writes(), 1);
    EXPECT_EQ(b_.writes(), 1);
    EXPECT_EQ(a_.board.attenuators().front().code(), 4);   // 2 dB on ZMG-A1
    EXPECT_EQ(b_.board.attenuators().front().code(), 14);  // 7 dB on ZMG-A4
}

TEST_F(InstrumentTest, FailedExchangeKeepsTheLevelAndMarksTheBoardQuestionable) {
    run("DEV 3;ATT 5;:STAT:QUES:ENAB 512;*SRE 8");
    a_.board.failCall(LinkOp::Write);
    EXPECT_EQ(run("ATT 7;ATT?;:STAT:QUES:COND?;*STB?"), (Outcome{"5.00;512;76", {-240}}));
    a_.board.clearFaults();
    a_.board.plug(false);
    EXPECT_EQ(run("ATT 7;ATT?;*TST?"), (Outcome{"5.00;1", {-241}}));
    a_.board.plug(true);
    // The next setting opens the chip again; the event stays latched until read.
    EXPECT_EQ(run("ATT 7;ATT?;:STAT:QUES:COND?;:STAT:QUES?;:STAT:QUES?"),
              (Outcome{"7.00;0;512;0", {}}));
    EXPECT_EQ(run("BOAR:REL;:ATT 8;ATT?"), (Outcome{"8.00", {}}));
    int opens = 0;
    for (const auto& call : a_.recorder->calls())
        opens += call.op == LinkOp::Open ? 1 : 0;
    EXPECT_EQ(opens, 5);  // first; after the failed write; *TST?; after the replug; RELease
}

// The status byte as IEEE 488.2 has it: summaries, with MSS only for what *SRE enables.
TEST_F(InstrumentTest, StatusByteFollowsTheEnables) {
    const Case steps[] = {
        {"*SRE 32;*SRE?;*SRE 0;*ESE 255;*CLS", "32", {}, 0},
        {"NOPE;*STB?;*SRE 32;*STB?", "36;100", {-113}, 0},  // bits 2 and 5; then 6 too
        {"*ESR?;*ESR?;*SRE 255;*SRE?", "32;0;191", {}, 0},  // MSS is never enabled
        {"STAT:OPER?;:STAT:OPER:COND?;:STAT:QUES?;:STAT:QUES:COND?", "0;0;0;0", {}, 0},
        {"STAT:OPER:ENAB 8;:STAT:OPER:ENAB?;:STAT:QUES:ENAB 512;:STAT:QUES:ENAB?", "8;512", {}, 0},
        {"STAT:PRES;:STAT:OPER:ENAB?;:STAT:QUES:ENAB?", "0;0", {}, 0},
        {"*ESE 256;STAT:OPER:ENAB -1", "", {-222, -222}, 0},
    };
    for (const Case& c : steps) {
        const auto reply = instrument_.execute(c.line, client_);
        EXPECT_EQ(reply.value_or(""), c.reply) << c.line;
        for (int code : c.errors)
            EXPECT_EQ(client_.status.next().code, code) << c.line;
        EXPECT_EQ(client_.status.count(), 0u) << c.line;
    }
    // A full queue: its overflow is a device-specific error in the event register.
    instrument_.execute("*CLS", client_);
    for (int i = 0; i < 20; ++i)
        instrument_.execute("NOPE", client_);
    EXPECT_EQ(instrument_.execute("*ESR?", client_), "40");  // command error and device error
}

// Sequences on the event loop: what they leave, what the status registers say meanwhile.
TEST_F(InstrumentTest, SequencesRunAndReport) {
    Client other = instrument_.connect();
    run("DEV ZMG-A4;:STAT:OPER:ENAB 8;*SRE 128");
    const struct {
        const char* line;
        const char* reply;
        std::vector<int> errors;
    } steps[] = {
        {"INIT", "", {-221}},  // FIXed
        {"SWE:STAR 0;STOP 31.5;STEP 0.5;DWEL 0;:ATT:MODE SWE;:SWE:POIN?", "64", {}},
        {"INIT;*WAI;:ATT:CODE?;:SEQ:STEP?;*STB?;:STAT:OPER?;:STAT:OPER?", "63;64;192;8;0", {}},
        {"SWE:STAR 32", "", {-222}},
        {"LIST:ATT 1,2,3;DWEL 1MS,2MS;:ATT:MODE LIST;:INIT", "", {-221}},  // 2 dwells, 3 levels
        {"LIST:DWEL 500US;:LIST:DWEL?;:LIST:ATT?;:LIST:ATT:POIN?", "0.0005;1.00,2.00,3.00;3", {}},
        {"LIST:DWEL 3601;:LIST:DWEL 2XS;:LIST:ATT 1,99", "", {-222, -224, -222}},
        {"LIST:COUN 2;:INIT;*OPC?;:ATT?;:SEQ:STEP?", "1;3.00;6", {}},
    };
    for (const auto& s : steps) {
        const std::string reply = runWaiting(s.line, client_);
        std::vector<int> errors;
        while (client_.status.count() > 0)
            errors.push_back(client_.status.next().code);
        EXPECT_EQ(reply, s.reply) << s.line;
        EXPECT_EQ(errors, s.errors) << s.line;
    }
    EXPECT_EQ(a_.writes(), 64 + 6);

    // While one runs: settings wait, *OPC sets its bit at the end, *RST stops it.
    run("*CLS;LIST:COUN 0;:LIST:DWEL 1;:INIT;*OPC");
    EXPECT_EQ(run("STAT:OPER:COND?;*ESR?;:ATT 5;:INIT", other), (Outcome{"8;0", {-221, -213}}));
    EXPECT_EQ(run("*RST;:STAT:OPER:COND?;*ESR?;:ATT:MODE?"), (Outcome{"0;1;FIX", {}}));

    // A step that fails ends the run; the connection that started it is told why.
    run("ATT:MODE LIST;:LIST:COUN 1;:LIST:DWEL 0;:LIST:ATT 1,2,3");
    a_.board.failCall(LinkOp::Write);
    EXPECT_EQ(runWaiting("INIT;*WAI;:STAT:QUES:COND?", client_), "512");
    EXPECT_EQ(client_.status.next().code, -240);
    EXPECT_EQ(run("SEQ:STEP?", other), (Outcome{"1", {}}));
}

}  // namespace
}  // namespace stepctl::instrument::test
