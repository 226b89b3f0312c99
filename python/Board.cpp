#include "Board.h"

#include <pybind11/pybind11.h>

#include "Arguments.h"
#include "BoardSession.h"
#include "ChipDriver.h"
#include "Road.h"

namespace py = pybind11;

namespace stepctl::python {
namespace {

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
        link_ = entry.make(serial);
        simulated_ = dynamic_cast<SimulatedBoard*>(link_.get());
        return;
    }
    throw py::value_error("kind: '" + kind + "' is not one of " + boardKinds());
}

void Board::checkOpen() const {
    if (closed_)
        throw py::value_error("this Board is closed");
}

SimulatedBoard& Board::simulated(const char* what) {
    checkOpen();
    if (simulated_ == nullptr)
        throw py::value_error(std::string(what) +
                              ": only the simulated board (kind 'sim') has it; "
                              "this board is '" +
                              kind_ + "'");
    return *simulated_;
}

SendResult Board::send(const cli::SendRequest& request) {
    checkOpen();
    SendResult result;
    {
        const py::gil_scoped_release released;
        const std::lock_guard lock(roadLock());
        result = sendOver(*link_, request);
    }
    const SendOutcome& outcome = *result.outcome;  // a checked request always dispatches
    switch (outcome.status) {
        case SendStatus::NoDevice:
            throw NoBoard("no board: " + outcome.detail + "; nothing sent");
        case SendStatus::TransferFailed:
            throw TransferFailed("transfer failed: " + outcome.detail);
        case SendStatus::Sent:
            break;
    }
    return result;
}

bool Board::probe() {
    checkOpen();
    const py::gil_scoped_release released;
    const std::lock_guard lock(roadLock());
    return probeOver(*link_);
}

std::vector<Held> Board::holds() {
    const SimulatedBoard& board = simulated("holds()");
    const py::gil_scoped_release released;
    const std::lock_guard lock(roadLock());
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
        const std::lock_guard lock(roadLock());
        known = cli::applySimFault(board, call);
    }
    if (!known) {
        std::string names;
        for (const char c : std::string_view(cli::kSimFaults))
            names += c == '|' ? std::string(", ") : std::string(1, c);
        throw py::value_error("call: '" + call + "' is not one of " + names);
    }
}

void Board::clearFaults() {
    SimulatedBoard& board = simulated("clear_faults()");
    const py::gil_scoped_release released;
    const std::lock_guard lock(roadLock());
    board.clearFaults();
    board.plug(true);
}

}  // namespace stepctl::python
