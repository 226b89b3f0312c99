// Inside the instrument: the state of one served board, and the helpers its command files
// share. Not for use outside instrument/.
#pragma once

#include <optional>
#include <string>

#include "Instrument.h"
#include "TimedRun.h"

namespace stepctl::instrument {

struct Instrument::Board {
    Board(asio::io_context& io, BoardSlot slot, Instrument& owner)
        : session(*slot.session),
          serial(std::move(slot.serial)),
          sequencer(
              io,
              [this, &owner](const session::SendRequest& request) {
                  sequenceError = owner.sendTo(*this, request);
                  streamError = false;
                  return !sequenceError;
              },
              [this](const session::StepPlan& plan, long long rate,
                     const session::KeepStreaming& keepGoing, const session::OnTimedStep& onStep) {
                  return session::runTimed(session, plan, {rate, nullptr}, keepGoing, onStep);
              },
              [this, &owner](const session::TimedEnd& end) {
                  return owner.streamEnded(*this, end);
              }) {}

    session::BoardSession& session;
    std::function<std::string()> serial;
    session::BoardTarget target;  // the hardware attached, as the clients name it
    std::optional<Frame> lastFrame;
    bool failing = false;    // the last exchange did not reach the board
    long long failures = 0;  // how often it started failing
    bool underran = false;   // the last timed stream ran dry: a step lasted longer
    long long underruns = 0;
    SequenceSettings settings;
    std::optional<scpi::Error> sequenceError;  // why the last step sent failed
    bool streamError = false;                  // ... or the timed stream, in its own words
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
