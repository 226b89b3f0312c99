// The board the panel talks to, for this run only: a watch sits between the panel and the link
// in force and keeps the last exchange; the window menu's Board entry offers the first chip, an
// attached chip by its serial number or the simulated board, and the indicator's tooltip says
// which chip and driver the last exchange used and why it failed. Nothing is saved. Chips are
// listed and opened only through the driver table (makeChipLink, listChips).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "BoardLink.h"
#include "SimulatedBoard.h"
#include "WatchedLink.h"

namespace stepctl::panel {

enum class BoardKind {
    Installed,  // whatever link was in force, as a test installs it
    FirstChip,
    Chip,  // by serial number
    Simulated,
};

// How the program chose the board at start.
struct StartBoard {
    BoardKind kind = BoardKind::Installed;
    std::string serial;                         // Chip
    const SimulatedBoard* simulated = nullptr;  // Simulated: the board the link reaches
};

// One line of the Board menu.
struct BoardOption {
    std::string label;  // with "&" before the access key
    BoardKind kind = BoardKind::FirstChip;
    std::string serial;
    bool enabled = true;  // false: a line that only informs
    bool checked = false;
    bool separatorBefore = false;
};

class BoardChoice {
  public:
    BoardChoice() = default;
    ~BoardChoice();  // the link it found is in force again
    BoardChoice(const BoardChoice&) = delete;
    BoardChoice& operator=(const BoardChoice&) = delete;

    // What the link in force is. Without it, a simulated board installed is taken for one.
    void describeStart(const StartBoard& start);
    // Puts the watch around the link in force; again is a no-op.
    void install();

    // The menu's lines; the attached chips only with `listChips` (listing reads each chip's
    // strings, so a menu asks only when it opens).
    std::vector<BoardOption> options(bool listChips) const;
    void choose(const BoardOption& option);

    // The simulated board the link now goes to, or none.
    const SimulatedBoard* simulatedBoard() const;
    BoardLink* current() const { return watch_.inner(); }
    const WatchedLink& watch() const { return watch_; }

    // The last exchange found no driver library.
    bool driverMissing() const;
    // The indicator's tooltip: the chip and driver of the last exchange and how it went.
    std::string toolTip() const;

  private:
    BoardLink* before_ = nullptr;
    WatchedLink watch_{nullptr};
    bool installed_ = false;
    bool described_ = false;
    BoardKind kind_ = BoardKind::Installed;
    std::string serial_;
    const SimulatedBoard* startSim_ = nullptr;
    BoardKind startKind_ = BoardKind::Installed;
    std::unique_ptr<BoardLink> chosen_;
    std::unique_ptr<SimulatedBoard> ownSim_;
    bool changed_ = false;    // chosen in the menu since the start
    int shownExchanges_ = 0;  // exchanges when it was chosen
};

// The tooltip's words for the last exchange: exchangeWords, with a busy chip explained as a
// panel user meets it.
std::string indicatorTip(const std::optional<ExchangeRecord>& last);

}  // namespace stepctl::panel
