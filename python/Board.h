// stepctl.Board: one board a script talks to, the FTDI chip or the simulated board, for as long
// as the object lives. The chip is held open from the first setting until release() or close(),
// so each setting after the first is one write; Boards on different chips share nothing.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "BoardLink.h"
#include "BoardSession.h"
#include "Exchange.h"
#include "SendRequest.h"
#include "SendRoad.h"
#include "Sequence.h"
#include "SimulatedBoard.h"

namespace stepctl::python {

// A failed exchange, with the link's words; the module raises them as stepctl.NoBoardError and
// stepctl.TransferError.
struct NoBoard : std::runtime_error {
    using std::runtime_error::runtime_error;
};
struct TransferFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What one simulated attenuator holds.
struct Held {
    std::string attenuator;
    std::optional<int> code;  // none before its first latch
    std::optional<float> db;
};

class Board {
  public:
    // kind: a name of boardKinds(). ValueError for an unknown kind, or a serial number the kind
    // takes none of, or an empty one.
    Board(const std::string& kind, const std::optional<std::string>& serial);

    const std::string& kind() const { return kind_; }
    const std::optional<std::string>& serial() const { return serial_; }
    bool closed() const { return closed_; }
    // Lets the chip go; the next setting opens it again.
    void release();
    void close();

    // The Send; NoBoard or TransferFailed when the frame did not reach the chip. Releases the
    // GIL for the exchange.
    SendResult send(const session::SendRequest& request);
    bool probe();

    // A sequence on the held chip, each step sent when it is due on a steady clock; what was
    // sent, step by step. Ctrl-C stops it between steps (KeyboardInterrupt), the chip let go.
    // NoBoard or TransferFailed for a step that did not reach the chip.
    struct StepSent {
        session::SendRequest request;
        SendResult result;
    };
    std::vector<StepSent> run(const session::StepPlan& plan);
    // The same written as one stream timed by the chip's sample clock (session/TimedRun.h);
    // each step with its start in the stream, in seconds. The plan must pass timedProblem().
    struct TimedSent {
        StepSent step;
        double startSeconds = 0.0;
    };
    std::vector<TimedSent> runTimed(const session::StepPlan& plan, long long samplesPerSecond);

    // The target of the last send, for a sequence that names none.
    const std::optional<session::SendRequest>& lastTarget() const { return lastTarget_; }

    // The simulated board only (ValueError otherwise).
    std::vector<Held> holds();
    void fail(const std::string& call);
    void clearFaults();

  private:
    void checkOpen() const;
    SimulatedBoard& simulated(const char* what);

    std::string kind_;
    std::optional<std::string> serial_;
    std::unique_ptr<session::BoardSession> session_;
    std::optional<session::SendRequest> lastTarget_;
    bool closed_ = false;
};

// The kinds, comma separated, for messages and docstrings: "ftdi, sim".
std::string boardKinds();

}  // namespace stepctl::python
