// The evaluation board as a SCPI instrument: the command set of `stepctl-cli serve`, one line at
// a time. Every setting goes through the one Send road; the state is shared by every client,
// while each client brings its own error queue and status registers.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "BoardSession.h"
#include "Errors.h"
#include "Exchange.h"
#include "Parser.h"

namespace stepctl::instrument {

class Instrument {
  public:
    // `board` is held for the instrument's whole life; `serial` gives the chip's serial number
    // or "SIM" for *IDN?.
    Instrument(session::BoardSession& board, std::function<std::string()> serial,
               std::string version);

    // Runs the commands of one line in turn. The replies of its queries, joined by ';', or
    // nothing when the line asked nothing (errors go to the client's queue).
    std::optional<std::string> execute(std::string_view line, scpi::ClientStatus& client);

    struct Call {
        const scpi::Command& command;
        const std::vector<int>& suffixes;
        scpi::ClientStatus& client;
        std::optional<std::string>& reply;
    };

    // The commands, called through the table in Instrument.cpp.
    void queryIdentity(Call& call);
    void reset(Call& call);
    void clearStatus(Call& call);
    void queryOperationComplete(Call& call);
    void operationComplete(Call& call);
    void wait(Call& call);
    void queryEventStatus(Call& call);
    void setEventEnable(Call& call);
    void queryEventEnable(Call& call);
    void queryStatusByte(Call& call);
    void querySelfTest(Call& call);
    void queryNextError(Call& call);
    void queryErrorCount(Call& call);
    void queryVersion(Call& call);
    void setDevice(Call& call);
    void queryDevice(Call& call);
    void queryCatalogue(Call& call);
    void setInterface(Call& call);
    void queryInterface(Call& call);
    void setAddress(Call& call);
    void queryAddress(Call& call);
    void setAttenuation(Call& call);
    void queryAttenuation(Call& call);
    void setCode(Call& call);
    void queryCode(Call& call);
    void queryFrame(Call& call);
    void queryHolds(Call& call);

  private:
    void run(const scpi::Command& command, scpi::ClientStatus& client,
             std::optional<std::string>& reply);

    // Which attenuator ATTenuation<n> names, or nothing (with the error queued).
    std::optional<int> attenuatorOf(Call& call) const;
    // One Send with the level of `attenuator` given as typed dB text, the other as it stands.
    void send(Call& call, int attenuator, const std::string& text);

    session::BoardSession& board_;
    std::function<std::string()> serial_;
    std::string version_;

    // The instrument's setting, shared by every client.
    int row_ = 0;
    Interface iface_ = Interface::Serial;
    int address_ = 0;
    std::array<int, 2> codes_{0, 0};  // what was last sent to each attenuator
    std::optional<Frame> lastFrame_;
};

}  // namespace stepctl::instrument
