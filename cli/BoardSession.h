// The board a command talks to for the length of one run: the FTDI chip (the first, or the
// one with a given serial number) or the simulated board, installed as the send routines' link
// and uninstalled when the session ends.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "BoardLink.h"
#include "Checked.h"
#include "ChipDriver.h"
#include "SendRequest.h"
#include "SimulatedBoard.h"

namespace stepctl::cli {

// The options as typed.
struct BoardChoice {
    std::string board = "ftdi";           // ftdi or sim
    std::optional<std::string> serial;    // ftdi only
    std::optional<std::string> driver;    // ftdi only: ftdi (libftdi) or d2xx; the platform's
                                          // default when not given
    std::optional<std::string> simFault;  // sim only: make the simulated board fail
};

// The names --sim-fault takes, for the help text.
// The driver named by --driver (or the platform's default), or why it cannot be used here.
Checked<ChipDriver> chosenDriver(const std::optional<std::string>& name);

inline constexpr const char* kDrivers = "ftdi|d2xx";

inline constexpr const char* kSimFaults = "unplugged|open|bitmode|rate|write|short-write|close";

// Puts a link in place for the send routines and takes it away again.
class InstalledLink {
  public:
    explicit InstalledLink(BoardLink& link);
    ~InstalledLink();
    InstalledLink(const InstalledLink&) = delete;
    InstalledLink& operator=(const InstalledLink&) = delete;
};

class BoardSession {
  public:
    static Checked<std::shared_ptr<BoardSession>> open(const BoardChoice& choice,
                                                       Warnings& warnings);

    BoardSession(std::unique_ptr<BoardLink> link, SimulatedBoard* simulated,
                 ChipDriver driver = defaultChipDriver());
    BoardSession(const BoardSession&) = delete;
    BoardSession& operator=(const BoardSession&) = delete;

    // The simulated board, or nullptr for the chip.
    const SimulatedBoard* simulated() const { return simulated_; }
    const char* name() const { return simulated_ != nullptr ? "sim" : "ftdi"; }
    // What answers for the board: "sim", or the chip's driver, "ftdi" or "d2xx".
    std::string_view answeredBy() const {
        return simulated_ != nullptr ? "sim" : chipDriverName(driver_);
    }
    BoardLink& link() const { return *link_; }

  private:
    std::unique_ptr<BoardLink> link_;
    SimulatedBoard* simulated_;
    ChipDriver driver_;
    InstalledLink installed_;
};

}  // namespace stepctl::cli
