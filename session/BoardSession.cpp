#include "BoardSession.h"

#include "SettingFrame.h"

namespace stepctl::session {

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

Checked<ChipDriver> chosenDriver(const std::optional<std::string>& name) {
    if (!name)
        return defaultChipDriver();
    const std::optional<ChipDriver> driver = chipDriverNamed(*name);
    if (!driver)
        return BadArgument{"--driver: '" + *name + "' is not one of ftdi, d2xx"};
    if (!chipDriverBuilt(*driver)) {
        return BadArgument{"--driver: " + *name + " is not part of this build; use " +
                           std::string(chipDriverName(defaultChipDriver()))};
    }
    return *driver;
}

BoardSession::BoardSession(std::unique_ptr<BoardLink> link, SimulatedBoard* simulated,
                           ChipDriver driver, std::optional<std::string> serial)
    : link_(std::move(link)),
      simulated_(simulated),
      driver_(driver),
      serial_(std::move(serial)),
      held_(*link_) {}

BoardSession::~BoardSession() {
    const std::lock_guard guard(lock_);
    held_.release();
}

SendResult BoardSession::send(const SendRequest& request) {
    SendResult result;
    result.plan = planSend(sendInputs(request));
    const auto frame = frameForPlan(request.row, request.iface, result.plan);
    if (!frame)
        return result;
    const std::lock_guard guard(lock_);
    if (simulated_ != nullptr)
        simulated_->follow(request.row, request.iface);
    result.outcome = held_.write(frame->kind, frame->frame);
    if (result.outcome->sent())
        noteLatched(result.plan);
    return result;
}

void BoardSession::noteLatched(const SendPlan& plan) {
    const std::lock_guard guard(holdsLock_);
    holds_[0] = plan.code1;
    if (plan.dispatch == Dispatch::Dual)
        holds_[1] = *plan.code2;
}

LinkStatus BoardSession::probe() {
    const std::lock_guard guard(lock_);
    return held_.probe();
}

LinkStatus BoardSession::release() {
    const std::lock_guard guard(lock_);
    return held_.release();
}

bool BoardSession::held() const {
    const std::lock_guard guard(lock_);
    return held_.held();
}

std::array<std::optional<int>, 2> BoardSession::holds() const {
    const std::lock_guard guard(holdsLock_);
    return holds_;
}

void BoardSession::forgetHolds() {
    const std::lock_guard guard(holdsLock_);
    holds_ = {};
}

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
        if (choice.driver)
            warnings.push_back("--driver is ignored with --board sim");
        SimulatedBoard* simulated = board.get();
        return std::make_shared<BoardSession>(std::move(board), simulated);
    }
    if (choice.board != "ftdi")
        return BadArgument{"--board: '" + choice.board + "' is not one of ftdi, sim"};
    if (choice.simFault)
        return BadArgument{"--sim-fault needs --board sim"};
    if (choice.serial && choice.serial->empty())
        return BadArgument{"--serial: the serial number is empty"};
    const Checked<ChipDriver> driver = chosenDriver(choice.driver);
    if (!driver.ok())
        return driver.bad();
    return std::make_shared<BoardSession>(makeChipLink(*driver, choice.serial), nullptr, *driver,
                                          choice.serial);
}

}  // namespace stepctl::session
