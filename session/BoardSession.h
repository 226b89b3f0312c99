// One board an automation face owns for as long as it runs: the FTDI chip (the first, or the
// one with a given serial number) or the simulated board, held open between settings, with what
// the board holds. Nothing process-wide: several sessions drive several boards at once, each
// from its own thread if need be.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "BoardLink.h"
#include "Checked.h"
#include "ChipDriver.h"
#include "HeldLink.h"
#include "SendRequest.h"
#include "SendRoad.h"
#include "SimulatedBoard.h"

namespace stepctl::session {

// The options as typed.
struct BoardChoice {
    std::string board = "ftdi";           // ftdi or sim
    std::optional<std::string> serial;    // ftdi only
    std::optional<std::string> driver;    // ftdi only: ftdi (libftdi) or d2xx; the platform's
                                          // default when not given
    std::optional<std::string> simFault;  // sim only: make the simulated board fail
};

// The driver named by --driver (or the platform's default), or why it cannot be used here.
Checked<ChipDriver> chosenDriver(const std::optional<std::string>& name);

inline constexpr const char* kDrivers = "ftdi|d2xx";

// The names --sim-fault takes, for the help text.
inline constexpr const char* kSimFaults = "unplugged|open|bitmode|rate|write|short-write|close";

// Makes the simulated board fail as one of those names says; false when the name is not one.
bool applySimFault(SimulatedBoard& board, std::string_view fault);

// What the board carries and how it is wired: the hardware attached, as the user names it.
struct BoardTarget {
    int row = 0;
    Interface iface = Interface::Serial;
    int address = 0;
};

class BoardSession {
  public:
    static Checked<std::shared_ptr<BoardSession>> open(const BoardChoice& choice,
                                                       Warnings& warnings);

    // `simulated` is `link` when it is the simulated board. `serial` names the chip asked for.
    BoardSession(std::unique_ptr<BoardLink> link, SimulatedBoard* simulated,
                 ChipDriver driver = defaultChipDriver(),
                 std::optional<std::string> serial = std::nullopt);
    ~BoardSession();
    BoardSession(const BoardSession&) = delete;
    BoardSession& operator=(const BoardSession&) = delete;

    // One setting: the plan of the panel's Send for `request`, its frame written over the held
    // chip. The codes the board holds follow a setting that reached it. Thread-safe.
    SendResult send(const SendRequest& request);
    // Whether the board answers: held, or it opens.
    LinkStatus probe();
    // Lets the chip go (other programs may open it); the next setting opens it again.
    LinkStatus release();
    bool held() const;

    // The codes the board holds for attenuators 1 and 2, as far as this session has set them.
    // Answered at once even while a timed stream holds lock().
    std::array<std::optional<int>, 2> holds() const;
    // What a setting that reached the board by other means (a timed stream) left it holding.
    void noteLatched(const SendPlan& plan);
    // Forgets them, for a board that was re-wired or swapped.
    void forgetHolds();

    // The simulated board, or nullptr for the chip. Read it under lock().
    const SimulatedBoard* simulated() const { return simulated_; }
    SimulatedBoard* simulated() { return simulated_; }
    std::mutex& lock() const { return lock_; }
    const char* name() const { return simulated_ != nullptr ? "sim" : "ftdi"; }
    // What answers for the board: "sim", or the chip's driver, "ftdi" or "d2xx".
    std::string_view answeredBy() const {
        return simulated_ != nullptr ? "sim" : chipDriverName(driver_);
    }
    ChipDriver driver() const { return driver_; }
    // The serial number asked for, if any.
    const std::optional<std::string>& serial() const { return serial_; }
    BoardLink& link() const { return *link_; }
    // The held link, for a caller that holds lock() (the timed stream writes through it).
    HeldLink& heldLink() { return held_; }

  private:
    std::unique_ptr<BoardLink> link_;
    SimulatedBoard* simulated_;
    ChipDriver driver_;
    std::optional<std::string> serial_;
    mutable std::mutex lock_;
    HeldLink held_;
    mutable std::mutex holdsLock_;  // apart from lock_, which a stream holds for its length
    std::array<std::optional<int>, 2> holds_{};
};

}  // namespace stepctl::session
