// The SCPI command set on simulated boards, in process: each line, its reply, what reached the
// board and what went into the connection's error queue.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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

// A chip that plays its samples out at the rate set: a write returns once the bytes handed
// over before it have played (one write's worth of buffer), as a real chip's does.
class PacedLink final : public BoardLink {
  public:
    explicit PacedLink(BoardLink& inner) : inner_(inner) {}
    LinkStatus open() override {
        handed_ = 0;
        return inner_.open();
    }
    LinkStatus setBitMode(std::uint8_t mask, std::uint8_t mode) override {
        return inner_.setBitMode(mask, mode);
    }
    LinkStatus setBaudRate(int baud) override {
        samplesPerSecond_ = 16.0 * baud;  // asynchronous bit-bang on an FT232R
        return inner_.setBaudRate(baud);
    }
    LinkStatus write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
        const auto now = std::chrono::steady_clock::now();
        if (handed_ == 0)
            start_ = now;
        std::this_thread::sleep_until(
            start_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                         std::chrono::duration<double>(handed_ / samplesPerSecond_)));
        handed_ += static_cast<double>(bytes.size());
        return inner_.write(bytes, written);
    }
    LinkStatus close() override { return inner_.close(); }

  private:
    BoardLink& inner_;
    double samplesPerSecond_ = 1e6;
    double handed_ = 0;
    std::chrono::steady_clock::time_point start_;
};

struct PacedSimBoard {
    SimulatedBoard board;
    RecordingLink recorder{board};
    BoardSession session{std::make_unique<PacedLink>(recorder), &board};
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
    PacedSimBoard c_;
    Instrument instrument_{io_,
                           {{&a_.session, [] { return std::string("A1"); }},
                            {&b_.session, [] { return std::string("B2"); }},
                            {&c_.session, [] { return std::string("C3"); }}},
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
        {&client_, "INST:CAT?;:INST?;:INST:NSEL?", "\"A1\",\"B2\",\"C3\";\"A1\";1", {}},
        {&other, "INST \"B2\";:INST?;:INST:NSEL?;*IDN?", "\"B2\";2;StepCtl,ZMG-A1,B2,9.9", {}},
        {&other, "DEV 3;ATT 7;ATT?", "7.00", {}},
        {&client_, "DEV?;ATT?;ATT 2;ATT?", "ZMG-A1;9.91E+37;2.00", {}},
        {&other, "ATT?;INST:SEL B2;:INST:NSEL 1;:ATT?", "7.00;2.00", {}},
        {&client_, "INST:NSEL 4;:INST:SEL \"D4\";:INST:NSEL?", "1", {-222, -224}},
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

// Timed sequences: their settings, what is refused before anything is written, and the one
// stream an INITiate writes.
TEST_F(InstrumentTest, TimedSequencesAreOneStream) {
    const struct {
        const char* line;
        const char* reply;
        std::vector<int> errors;
    } steps[] = {
        {"SEQ:TIM?;:SRAT?;:SRAT? MIN;:SRAT? MAX;:SRAT? DEF", "0;100000;2930;1000000;100000", {}},
        {"SRAT 1000001;:SRAT 2929;:SRAT 1.5;:SRAT 1E5HZ;:SRAT? 7;:SEQ:TIM 2",
         "",
         {-222, -222, -224, -224, -224}},
        {"SOUR:SRAT MAX;:SRAT?;:SEQ:TIM ON;TIM?;:SRAT DEF", "1000000;1", {}},
        {"DEV ZMG-A4;:LIST:ATT 10,20.5,31.5;DWEL 1MS,0.35MS,2MS;:ATT:MODE LIST;:INIT", "", {-222}},
        {"SWE:DWEL 100US;:ATT:MODE SWE;:INIT;:SEQ:STEP?", "0", {-222}},  // 10 samples
        {"ATT:MODE LIST;:LIST:DWEL 1MS,0.5MS,2MS;:INIT;*OPC?;:ATT:CODE?;:BOAR:HOLD?;:SEQ:STEP?",
         "1;63;63;3",
         {}},
        {"*RST;SEQ:TIM?;:SRAT?", "0;100000", {}},
    };
    for (const auto& step : steps) {
        const std::string reply = runWaiting(step.line, client_);
        std::vector<int> errors;
        while (client_.status.count() > 0)
            errors.push_back(client_.status.next().code);
        EXPECT_EQ(reply, step.reply) << step.line;
        EXPECT_EQ(errors, step.errors) << step.line;
    }
    std::size_t bytes = 0;
    std::vector<LinkOp> setup;
    for (const auto& call : a_.recorder->calls()) {
        bytes += call.written;
        if (call.op != LinkOp::Write)
            setup.push_back(call.op);
    }
    EXPECT_EQ(bytes, 100u + 50 + 200);  // the dwells at 100 kHz, frames included
    EXPECT_EQ(setup, (std::vector<LinkOp>{LinkOp::Open, LinkOp::SetBitMode, LinkOp::SetBaudRate,
                                          LinkOp::Close}));
    EXPECT_EQ(run("FRAM?").second, std::vector<int>{});  // the last step's frame
}

// A stream takes its length on a thread of its own: the event loop keeps answering.
TEST_F(InstrumentTest, OthersAreAnsweredWhileAStreamIsWritten) {
    Client other = instrument_.connect();
    run("INST:NSEL 3;:DEV ZMG-A4;:SEQ:TIM ON;:LIST:ATT 1,2,3;DWEL 100MS;:ATT:MODE LIST");
    run("INST:NSEL 3", other);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(run("INIT"), (Outcome{"", {}}));
    EXPECT_EQ(run("STAT:OPER:COND?;*IDN?;:ATT 5;*TST?;:BOAR:HOLD?", other),
              (Outcome{"8;StepCtl,ZMG-A4,C3,9.9", {-221, -221, -221}}));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(runWaiting("*OPC?;:ATT:CODE?;:SEQ:STEP?;:STAT:OPER?", client_), "1;6;3;8");
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));

    // ABORt stops it after the piece being written.
    const auto again = std::chrono::steady_clock::now();
    EXPECT_EQ(runWaiting("INIT;ABOR;*OPC?;:SEQ:STEP?", client_), "1;0");
    EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(150));

    // A stream that fails: the starter hears why, the board is QUEStionable.
    c_.board.failCall(LinkOp::SetBaudRate);
    EXPECT_EQ(runWaiting("INIT;*WAI;:STAT:QUES:COND?", client_), "512");
    EXPECT_EQ(client_.status.next().code, -240);
}

}  // namespace
}  // namespace stepctl::instrument::test
