#include "BoardSession.h"

#include "FtdiLink.h"
#include "SendRoutines.h"

namespace stepctl::cli {

bool applySimFault(SimulatedBoard& board, std::string_view fault) {
    if (fault == "unplugged") {
        board.plug(false);
    } else if (fault == "open") {
        board.failCall(LinkOp::Open);
    } else if (fault == "bitmode") {
        board.failCall(LinkOp::SetBitMode);
    } else if (fault == "rate") {
        board.failCall(LinkOp::SetBaudRate);
    } else if (fault == "write") {
        board.failCall(LinkOp::Write);
    } else if (fault == "short-write") {
        board.failCall(LinkOp::Write, Fault::ShortWrite);
    } else if (fault == "close") {
        board.failCall(LinkOp::Close);
    } else {
        return false;
    }
    return true;
}

InstalledLink::InstalledLink(BoardLink& link) {
    setBoardLink(&link);
}

InstalledLink::~InstalledLink() {
    setBoardLink(nullptr);
}

BoardSession::BoardSession(std::unique_ptr<BoardLink> link, SimulatedBoard* simulated)
    : link_(std::move(link)), simulated_(simulated), installed_(*link_) {}

Checked<std::shared_ptr<BoardSession>> BoardSession::open(const BoardChoice& choice,
                                                          Warnings& warnings) {
    if (choice.board == "sim") {
        auto board = std::make_unique<SimulatedBoard>();
        if (choice.simFault && !applySimFault(*board, *choice.simFault)) {
            return BadArgument{"--sim-fault: '" + *choice.simFault + "' is not one of " +
                               std::string(kSimFaults)};
        }
        if (choice.serial)
            warnings.push_back("--serial is ignored with --board sim");
        SimulatedBoard* simulated = board.get();
        return std::make_shared<BoardSession>(std::move(board), simulated);
    }
    if (choice.board != "ftdi")
        return BadArgument{"--board: '" + choice.board + "' is not one of ftdi, sim"};
    if (choice.simFault)
        return BadArgument{"--sim-fault needs --board sim"};
    if (choice.serial && choice.serial->empty())
        return BadArgument{"--serial: the serial number is empty"};
    auto link =
        choice.serial ? std::make_unique<FtdiLink>(*choice.serial) : std::make_unique<FtdiLink>();
    return std::make_shared<BoardSession>(std::move(link), nullptr);
}

}  // namespace stepctl::cli
