// The board a command talks to for the length of one run: the FTDI chip (the first, or the
// one with a given serial number) or the simulated board, installed as the send routines' link
// and uninstalled when the session ends.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "BoardLink.h"
#include "Checked.h"
#include "SendRequest.h"
#include "SimulatedBoard.h"

namespace stepctl::cli {

// The options as typed.
struct BoardChoice {
    std::string board = "ftdi";           // ftdi or sim
    std::optional<std::string> serial;    // ftdi only
    std::optional<std::string> simFault;  // sim only: make the simulated board fail
};

// The names --sim-fault takes, for the help text.
inline constexpr const char* kSimFaults = "unplugged|open|bitmode|rate|write|short-write|close";

// Makes the simulated board fail as one of those names says; false when the name is not one.
bool applySimFault(SimulatedBoard& board, std::string_view fault);

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

    explicit BoardSession(std::unique_ptr<BoardLink> link, SimulatedBoard* simulated);
    BoardSession(const BoardSession&) = delete;
    BoardSession& operator=(const BoardSession&) = delete;

    // The simulated board, or nullptr for the chip.
    const SimulatedBoard* simulated() const { return simulated_; }
    const char* name() const { return simulated_ != nullptr ? "sim" : "ftdi"; }

  private:
    std::unique_ptr<BoardLink> link_;
    SimulatedBoard* simulated_;
    InstalledLink installed_;
};

}  // namespace stepctl::cli
