// Inside the instrument: the state of one served board, and the helpers its command files
// share. Not for use outside instrument/.
#pragma once

#include <optional>
#include <string>

#include "Instrument.h"

namespace stepctl::instrument {

struct Instrument::Board {
    Board(asio::io_context& io, BoardSlot slot, Instrument& owner)
        : session(*slot.session),
          serial(std::move(slot.serial)),
          sequencer(io, [this, &owner](const session::SendRequest& request) {
              sequenceError = owner.sendTo(*this, request);
              return !sequenceError;
          }) {}

    session::BoardSession& session;
    std::function<std::string()> serial;
    session::BoardTarget target;  // the hardware attached, as the clients name it
    std::optional<Frame> lastFrame;
    bool failing = false;    // the last exchange did not reach the board
    long long failures = 0;  // how often it started failing
    SequenceSettings settings;
    std::optional<scpi::Error> sequenceError;  // why the last step sent failed
    Sequencer sequencer;
};

// Adds a query's reply to the line's replies.
void answer(Instrument::Call& call, const std::string& text);

// The header as the client sent it, for error texts: "ATT2:CODE?".
std::string headerText(const scpi::Command& command);

// A whole number within min..max (MIN, MAX and DEF included), or nothing with the error queued.
std::optional<long long> readWhole(Instrument::Call& call, long long min, long long max,
                                   long long def, const char* what);

}  // namespace stepctl::instrument
