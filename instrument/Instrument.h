// The evaluation boards as a SCPI instrument: the command set of `stepctl-cli serve`, one line
// at a time. Every setting goes through the board's session; what a board holds, its device,
// interface and address, and its sequence are the same for every connection, while each
// connection brings its own selection, error queue and status registers (a Client).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <asio/io_context.hpp>

#include "BoardSession.h"
#include "Client.h"
#include "Errors.h"
#include "Exchange.h"
#include "Parser.h"
#include "SequencePlan.h"
#include "Sequencer.h"
#include "TimedRun.h"

namespace stepctl::instrument {

// One board served: its session (held for the instrument's whole life, owned by the caller)
// and its serial number for INSTrument:CATalog? and *IDN? ("SIM" for the simulated board).
struct BoardSlot {
    session::BoardSession* session = nullptr;
    std::function<std::string()> serial;
};

// A line under way: its commands, how far it has run, and the replies so far.
struct LineRun {
    std::vector<scpi::Unit> units;
    std::size_t next = 0;
    std::optional<std::string> reply;
};

class Instrument {
  public:
    // Sequences run on `io`, the event loop of the server.
    Instrument(asio::io_context& io, std::vector<BoardSlot> boards, std::string version);
    ~Instrument();
    Instrument(const Instrument&) = delete;
    Instrument& operator=(const Instrument&) = delete;

    // A new connection's own state, on board 1.
    Client connect() const;

    static LineRun parse(std::string_view line);
    // Runs the line's commands in turn: true when it is done; false when *WAI or *OPC? waits
    // for the selected board's sequence to end (call whenSequenceEnds, then proceed again).
    bool proceed(LineRun& line, Client& client);
    // Calls `done` through the event loop once the selected board's sequence has ended.
    void whenSequenceEnds(const Client& client, std::function<void()> done);

    // The whole line for a caller without a running event loop (tests): a wait for a running
    // sequence ends the line there. The replies of its queries joined by ';', or nothing.
    std::optional<std::string> execute(std::string_view line, Client& client);

    std::size_t boardCount() const { return boards_.size(); }

    struct Call {
        const scpi::Command& command;
        const std::vector<int>& suffixes;
        Client& client;
        std::optional<std::string>& reply;
        bool wait = false;  // set by a command that must wait for the sequence to end
    };

    // The commands, called through the table in Instrument.cpp. Common commands and status:
    void queryIdentity(Call& call);
    void reset(Call& call);
    void clearStatus(Call& call);
    void queryOperationComplete(Call& call);
    void operationComplete(Call& call);
    void wait(Call& call);
    void queryEventStatus(Call& call);
    void setEventEnable(Call& call);
    void queryEventEnable(Call& call);
    void setServiceEnable(Call& call);
    void queryServiceEnable(Call& call);
    void queryStatusByte(Call& call);
    void querySelfTest(Call& call);
    void queryOperationEvent(Call& call);
    void queryOperationCondition(Call& call);
    void setOperationEnable(Call& call);
    void queryOperationEnable(Call& call);
    void queryQuestionableEvent(Call& call);
    void queryQuestionableCondition(Call& call);
    void setQuestionableEnable(Call& call);
    void queryQuestionableEnable(Call& call);
    void presetStatus(Call& call);
    void queryNextError(Call& call);
    void queryErrorCount(Call& call);
    void queryVersion(Call& call);
    // Boards:
    void queryBoards(Call& call);
    void selectBoard(Call& call);
    void querySelectedBoard(Call& call);
    void selectBoardNumber(Call& call);
    void querySelectedNumber(Call& call);
    void releaseBoard(Call& call);
    void queryHolds(Call& call);
    // Settings:
    void setDevice(Call& call);
    void queryDevice(Call& call);
    void queryCatalogue(Call& call);
    void setInterface(Call& call);
    void queryInterface(Call& call);
    void setAddress(Call& call);
    void queryAddress(Call& call);
    void setAttenuation(Call& call);
    void queryAttenuation(Call& call);
    void queryStep(Call& call);
    void setCode(Call& call);
    void queryCode(Call& call);
    void queryFrame(Call& call);
    // Sequences (SequenceCommands.cpp):
    void setMode(Call& call);
    void queryMode(Call& call);
    void setSweepStart(Call& call);
    void querySweepStart(Call& call);
    void setSweepStop(Call& call);
    void querySweepStop(Call& call);
    void setSweepStep(Call& call);
    void querySweepStep(Call& call);
    void setSweepDwell(Call& call);
    void querySweepDwell(Call& call);
    void setSweepCount(Call& call);
    void querySweepCount(Call& call);
    void querySweepPoints(Call& call);
    void setListLevels(Call& call);
    void queryListLevels(Call& call);
    void queryListPoints(Call& call);
    void setListDwells(Call& call);
    void queryListDwells(Call& call);
    void setListCount(Call& call);
    void queryListCount(Call& call);
    void initiate(Call& call);
    void abort(Call& call);
    void querySequenceStep(Call& call);
    void setTimed(Call& call);
    void queryTimed(Call& call);
    void setSampleRate(Call& call);
    void querySampleRate(Call& call);

  private:
    struct Board;

    void run(const scpi::Command& command, Call& call);
    // Latches what the client's board did since its last command into its event registers.
    void refresh(Client& client);
    Board& selected(const Client& client) const;
    bool refusedWhileRunning(Call& call);
    // A query that needs the board's lock, which a timed stream holds for its whole length.
    bool refusedWhileStreaming(Call& call);
    // What a timed stream's end leaves on its board; false when it failed (on the loop).
    bool streamEnded(Board& board, const session::TimedEnd& end);

    // Which attenuator ATTenuation<n> names, or nothing (with the error queued).
    std::optional<int> attenuatorOf(Call& call) const;
    // One setting of `attenuator` to `text` (dB as typed), the other as the board holds it.
    void send(Call& call, int attenuator, const std::string& text);
    // The request with the board's target, the other attenuator's level as held.
    session::SendRequest requestFor(const Board& board, int attenuator,
                                    const std::string& text) const;
    // A setting through the board's session; what it holds, its frame and whether it answers
    // follow. The error for the client when it did not reach the board.
    std::optional<scpi::Error> sendTo(Board& board, const session::SendRequest& request);

    asio::io_context& io_;
    std::vector<std::unique_ptr<Board>> boards_;
    std::string version_;
};

}  // namespace stepctl::instrument
