#include "BoardChoice.h"

#include "ChipDriver.h"
#include "LinkWords.h"
#include "SendRoutines.h"
#include "SimulatedBoard.h"

namespace stepctl::panel {
namespace {

// D2XX cannot say why an open failed; "not opened" of an attached chip is then another holder.
bool busy(const LinkStatus& open) {
    return open.why == OpenFailure::Busy ||
           (open.why == OpenFailure::None && open.code == LinkCode::DeviceNotOpened);
}

std::string unlistedChip(const ChipEntry& chip) {
    const std::string why = chip.stringError.empty() ? "no serial number" : chip.stringError;
    if (chip.bus && chip.address) {
        return "Chip on USB bus " + std::to_string(*chip.bus) + ", address " +
               std::to_string(*chip.address) + ": " + why;
    }
    return "Chip " + std::to_string(chip.index) + ": " + why;
}

}  // namespace

std::string indicatorTip(const std::optional<ExchangeRecord>& last) {
    if (!last || last->open.ok() || !busy(last->open))
        return exchangeWords(last);
    const std::string device = last->device.empty() ? "the board link" : last->device;
    const std::string said =
        last->open.message.empty() ? "" : " (the driver says: " + last->open.message + ")";
    return "Last exchange: " + device +
           ".\nNot connected: the chip is busy. Another program holds it, perhaps another "
           "StepCtl program: stepctl-cli serve, sweep or play, or a Python stepctl.Board. "
           "Close it, then Send again" +
           said + ".";
}

BoardChoice::~BoardChoice() {
    if (installed_ && &boardLink() == &watch_)
        setBoardLink(before_);
}

void BoardChoice::describeStart(const StartBoard& start) {
    if (start.kind == BoardKind::Installed)
        return;  // nothing said: install() looks at the link
    described_ = true;
    kind_ = startKind_ = start.kind;
    serial_ = start.serial;
    startSim_ = start.kind == BoardKind::Simulated ? start.simulated : nullptr;
}

void BoardChoice::install() {
    if (installed_ && &boardLink() == &watch_)
        return;
    before_ = &boardLink();
    watch_.setInner(before_);
    if (!described_) {
        if (const auto* sim = dynamic_cast<const SimulatedBoard*>(before_))
            describeStart({BoardKind::Simulated, {}, sim});
    }
    setBoardLink(&watch_);
    installed_ = true;
}

std::vector<BoardOption> BoardChoice::options(bool listChips) const {
    std::vector<BoardOption> lines;
    lines.push_back({"&First chip", BoardKind::FirstChip, {}, true, kind_ == BoardKind::FirstChip});
    if (listChips) {
        std::string error;
        const std::vector<ChipEntry> chips = stepctl::listChips(defaultChipDriver(), &error);
        for (const ChipEntry& chip : chips) {
            if (chip.serial.empty()) {
                // Without its serial number a chip cannot be asked for again.
                lines.push_back({unlistedChip(chip), BoardKind::Chip, {}, false});
                continue;
            }
            lines.push_back({chip.serial + " \u2014 " + chip.description, BoardKind::Chip,
                             chip.serial, true,
                             kind_ == BoardKind::Chip && serial_ == chip.serial});
        }
        if (!error.empty())
            lines.push_back({"Cannot list the chips: " + error, BoardKind::Chip, {}, false});
        else if (chips.empty())
            lines.push_back({"No FTDI chip attached", BoardKind::Chip, {}, false});
    }
    lines.push_back(
        {"&Simulated board", BoardKind::Simulated, {}, true, kind_ == BoardKind::Simulated, true});
    return lines;
}

void BoardChoice::choose(const BoardOption& option) {
    install();
    switch (option.kind) {
        case BoardKind::FirstChip:
        case BoardKind::Chip: {
            std::optional<std::string> serial;
            if (option.kind == BoardKind::Chip)
                serial = option.serial;
            chosen_ = makeChipLink(defaultChipDriver(), serial);
            watch_.setInner(chosen_.get());
            break;
        }
        case BoardKind::Simulated:
            if (startSim_ != nullptr) {
                watch_.setInner(before_);  // the link the program started on reaches it
            } else {
                if (!ownSim_)
                    ownSim_ = std::make_unique<SimulatedBoard>();
                watch_.setInner(ownSim_.get());
            }
            break;
        case BoardKind::Installed:
            watch_.setInner(before_);
            break;
    }
    kind_ = option.kind;
    serial_ = option.serial;
    changed_ = true;
    shownExchanges_ = watch_.exchanges();
}

const SimulatedBoard* BoardChoice::simulatedBoard() const {
    if (kind_ != BoardKind::Simulated)
        return nullptr;
    return startSim_ != nullptr ? startSim_ : ownSim_.get();
}

bool BoardChoice::driverMissing() const {
    if (changed_ && watch_.exchanges() == shownExchanges_)
        return false;  // nothing known of the board just chosen
    const auto& last = watch_.last();
    return last && last->open.code == LinkCode::DriverMissing;
}

std::string BoardChoice::toolTip() const {
    if (changed_ && watch_.exchanges() == shownExchanges_) {
        return "Board for this run: " + watch_.describeDevice() +
               ".\nNo exchange with it yet; the next Send uses it.";
    }
    return indicatorTip(watch_.last());
}

}  // namespace stepctl::panel
