#include "Board.h"

#include <pybind11/pybind11.h>

#include <chrono>
#include <thread>

#include "Arguments.h"
#include "BoardSession.h"
#include "ChipDriver.h"
#include "SequenceRun.h"
#include "SettingFrame.h"
#include "TimedRun.h"

namespace py = pybind11;

namespace stepctl::python {
namespace {

[[noreturn]] void raiseFailed(const SendOutcome& outcome) {
    if (outcome.status == SendStatus::NoDevice)
        throw NoBoard("no board: " + outcome.detail + "; nothing sent");
    throw TransferFailed("transfer failed: " + outcome.detail);
}

using Serial = std::optional<std::string>;

// A chip driver's link: the first chip, or the one with this serial number.
template <ChipDriver driver>
std::unique_ptr<BoardLink> chip(const Serial& serial) {
    return makeChipLink(driver, serial);
}

std::unique_ptr<BoardLink> simulatedBoard(const Serial&) {
    return std::make_unique<SimulatedBoard>();
}

struct Kind {
    std::string_view name;
    bool takesSerial;
    std::unique_ptr<BoardLink> (*make)(const Serial&);
};

// One line per kind of board.
constexpr Kind kKinds[] = {
    {"ftdi", true, chip<ChipDriver::Ftdi>},
    {"d2xx", true, chip<ChipDriver::D2xx>},
    {"sim", false, simulatedBoard},
};

}  // namespace

std::string boardKinds() {
    std::string names;
    for (const Kind& kind : kKinds)
        names += (names.empty() ? "" : ", ") + std::string(kind.name);
    return names;
}

Board::Board(const std::string& kind, const Serial& serial) : kind_(kind), serial_(serial) {
    for (const Kind& entry : kKinds) {
        if (entry.name != kind)
            continue;
        if (serial && !entry.takesSerial)
            throw py::value_error("serial: the " + kind + " board has no serial number");
        if (serial && serial->empty())
            throw py::value_error("serial: the serial number is empty");
        std::unique_ptr<BoardLink> link = entry.make(serial);
        auto* simulated = dynamic_cast<SimulatedBoard*>(link.get());
        const ChipDriver driver = entry.name == "d2xx" ? ChipDriver::D2xx : ChipDriver::Ftdi;
        session_ =
            std::make_unique<session::BoardSession>(std::move(link), simulated, driver, serial);
        return;
    }
    throw py::value_error("kind: '" + kind + "' is not one of " + boardKinds());
}

void Board::release() {
    checkOpen();
    const py::gil_scoped_release released;
    session_->release();
}

void Board::close() {
    if (closed_)
        return;
    closed_ = true;
    const py::gil_scoped_release released;
    session_->release();
}

void Board::checkOpen() const {
    if (closed_)
        throw py::value_error("this Board is closed");
}

SimulatedBoard& Board::simulated(const char* what) {
    checkOpen();
    if (session_->simulated() == nullptr)
        throw py::value_error(std::string(what) +
                              ": only the simulated board (kind 'sim') has it; "
                              "this board is '" +
                              kind_ + "'");
    return *session_->simulated();
}

SendResult Board::send(const session::SendRequest& request) {
    checkOpen();
    SendResult result;
    {
        const py::gil_scoped_release released;
        result = session_->send(request);
    }
    lastTarget_ = request;
    const SendOutcome& outcome = *result.outcome;  // a checked request always dispatches
    if (!outcome.sent())
        raiseFailed(outcome);
    return result;
}

std::vector<Board::StepSent> Board::run(const session::StepPlan& plan) {
    checkOpen();
    std::vector<StepSent> sent;
    bool interrupted = false;
    session::SequenceEnd end;
    {
        const py::gil_scoped_release released;
        // Short slices with the GIL taken back now and then, so Ctrl-C is seen between steps.
        const auto waitUntil = [&interrupted](session::SequenceClock::time_point due) {
            constexpr auto kSlice = std::chrono::milliseconds(20);
            for (;;) {
                {
                    const py::gil_scoped_acquire held;
                    if (PyErr_CheckSignals() != 0) {
                        interrupted = true;
                        return false;
                    }
                }
                const auto now = session::SequenceClock::now();
                if (now >= due)
                    return true;
                std::this_thread::sleep_until(std::min(due, now + kSlice));
            }
        };
        end = session::runSequence(*session_, plan, waitUntil, [&sent](const session::StepDone& d) {
            if (d.result.outcome && d.result.outcome->sent())
                sent.push_back({d.request, d.result});
            return true;
        });
        session_->release();
    }
    if (interrupted)
        throw py::error_already_set();
    if (end.failed)
        raiseFailed(*end.failed->outcome);
    if (!sent.empty())
        lastTarget_ = session::stepRequest(plan, plan.steps.back());
    return sent;
}

std::vector<Board::TimedSent> Board::runTimed(const session::StepPlan& plan,
                                              long long samplesPerSecond) {
    checkOpen();
    std::vector<TimedSent> sent;
    bool interrupted = false;
    session::TimedEnd end;
    {
        const py::gil_scoped_release released;
        // Asked before each piece is queued, so Ctrl-C stops the stream within a piece or so.
        const auto keepGoing = [&interrupted] {
            const py::gil_scoped_acquire held;
            interrupted = interrupted || PyErr_CheckSignals() != 0;
            return !interrupted;
        };
        end = session::runTimed(
            *session_, plan, {samplesPerSecond, nullptr}, keepGoing,
            [&sent](const session::TimedStepDone& d) {
                SendResult result;
                result.plan = d.step.plan;
                const auto frame =
                    session::frameForPlan(d.step.request.row, d.step.request.iface, d.step.plan);
                result.outcome =
                    SendOutcome{SendStatus::Sent, {}, d.step.kind, frame ? frame->frame : Frame{}};
                sent.push_back({{d.step.request, result}, d.startSeconds});
                return true;
            });
    }
    if (interrupted)
        throw py::error_already_set();
    if (end.status != SendStatus::Sent)
        raiseFailed(SendOutcome{end.status, end.detail, {}, {}});
    if (end.underrun)
        throw TransferFailed("the timing was not kept: " + end.underrunDetail);
    if (!sent.empty())
        lastTarget_ = session::stepRequest(plan, plan.steps.back());
    return sent;
}

bool Board::probe() {
    checkOpen();
    const py::gil_scoped_release released;
    return session_->probe().ok();
}

std::vector<Held> Board::holds() {
    const SimulatedBoard& board = simulated("holds()");
    const py::gil_scoped_release released;
    const std::lock_guard lock(session_->lock());
    std::vector<Held> held;
    for (const SimulatedAttenuator& attenuator : board.attenuators()) {
        Held one{attenuator.setup().label, attenuator.code(), std::nullopt};
        if (one.code)
            one.db = attenuator.db();
        held.push_back(std::move(one));
    }
    return held;
}

void Board::fail(const std::string& call) {
    SimulatedBoard& board = simulated("fail()");
    bool known = false;
    {
        const py::gil_scoped_release released;
        const std::lock_guard lock(session_->lock());
        known = session::applySimFault(board, call);
    }
    if (!known) {
        std::string names;
        for (const char c : std::string_view(session::kSimFaults))
            names += c == '|' ? std::string(", ") : std::string(1, c);
        throw py::value_error("call: '" + call + "' is not one of " + names);
    }
}

void Board::clearFaults() {
    SimulatedBoard& board = simulated("clear_faults()");
    const py::gil_scoped_release released;
    const std::lock_guard lock(session_->lock());
    board.clearFaults();
    board.plug(true);
}

}  // namespace stepctl::python
