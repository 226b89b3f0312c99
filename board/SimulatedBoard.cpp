#include "SimulatedBoard.h"

#include <algorithm>

#include "DbCode.h"
#include "OpenFailure.h"
#include "SendRoutines.h"
#include "TextFormat.h"

namespace stepctl {
namespace {

bool rising(std::uint8_t before, std::uint8_t now, std::uint8_t pin) {
    return (before & pin) == 0 && (now & pin) != 0;
}

std::uint32_t bit(std::uint32_t word, int n) {
    return (word >> n) & 1u;
}

}  // namespace

void SimulatedAttenuator::sample(std::uint8_t before, std::uint8_t now) {
    const bool sixBit = groupTraits(setup_.group).codeBits == 6;
    if (setup_.mode != Interface::LatchedParallel && rising(before, now, pins::kClk)) {
        const std::uint32_t data = (now & pins::kData) != 0 ? 1u : 0u;
        if (sixBit) {
            // Most significant bit first: each new bit pushes the earlier ones up.
            shift_ = (shift_ << 1) | data;
        } else {
            // Least significant bit first into a 16-bit register: new bits enter at the top.
            shift_ = (shift_ >> 1) | (data << 15);
        }
    }
    if (rising(before, now, setup_.lePin))
        latch(now);
}

void SimulatedAttenuator::latch(std::uint8_t now) {
    const bool sixBit = groupTraits(setup_.group).codeBits == 6;
    int code = 0;
    switch (setup_.mode) {
        case Interface::Serial:
            // A 6-bit register holds the last six bits in; an 8-bit one the last eight, of
            // which the low seven are the code.
            code =
                sixBit ? static_cast<int>(shift_ & 0x3F) : static_cast<int>((shift_ >> 8) & 0x7F);
            break;
        case Interface::SerialAddressable: {
            int address = 0;
            if (sixBit) {
                // Nine bits: c5..c0, then A0, A1, A2.
                code = static_cast<int>((shift_ >> 3) & 0x3F);
                address =
                    static_cast<int>(bit(shift_, 2) | bit(shift_, 1) << 1 | bit(shift_, 0) << 2);
            } else {
                // Sixteen bits, least significant first: the code byte, then the address byte.
                code = static_cast<int>(shift_ & 0x7F);
                address = static_cast<int>((shift_ >> 8) & 0x7);
            }
            if (address != setup_.address)
                return;  // another device's word
            break;
        }
        case Interface::LatchedParallel: {
            const int width = sixBit ? 6 : 7;
            for (int b = 0; b < width; ++b) {
                if ((now & pins::parallelPin(!sixBit, b)) != 0)
                    code |= 1 << b;
            }
            break;
        }
    }
    code_ = code;
    ++latches_;
}

float SimulatedAttenuator::db() const {
    return dbFromCode(setup_.group, code_.value_or(0));
}

SimulatedBoard::SimulatedBoard(std::vector<AttenuatorSetup> fixed) : followsSelection_(false) {
    mount(std::move(fixed));
}

std::vector<AttenuatorSetup> SimulatedBoard::setupFor(int row, Interface iface) {
    const Group group = groupOf(row);
    if (group == Group::DualSixBit) {
        return {{group, Interface::Serial, 0, pins::kLe, "attenuator 1"},
                {group, Interface::Serial, 0, pins::kLe2, "attenuator 2"}};
    }
    if (iface == Interface::SerialAddressable) {
        std::vector<AttenuatorSetup> bus;
        for (int address = 0; address < 8; ++address) {
            bus.push_back({group, iface, address, pins::kLe, "address " + std::to_string(address)});
        }
        return bus;
    }
    return {{group, iface, 0, pins::kLe, "attenuator"}};
}

void SimulatedBoard::mount(std::vector<AttenuatorSetup> setups) {
    if (setups == setups_)
        return;  // the same board stays plugged in and keeps its state
    setups_ = std::move(setups);
    attenuators_.clear();
    for (const auto& setup : setups_)
        attenuators_.emplace_back(setup);
}

std::optional<Fault> SimulatedBoard::faultFor(LinkOp op) const {
    const auto it = std::find_if(faults_.begin(), faults_.end(),
                                 [op](const auto& entry) { return entry.first == op; });
    if (it == faults_.end())
        return std::nullopt;
    return it->second;
}

void SimulatedBoard::failCall(LinkOp op, Fault fault) {
    faults_.erase(std::remove_if(faults_.begin(), faults_.end(),
                                 [op](const auto& entry) { return entry.first == op; }),
                  faults_.end());
    faults_.emplace_back(op, fault);
}

void SimulatedBoard::follow(int row, Interface iface) {
    const std::pair<int, Interface> wanted{row, iface};
    followsSelection_ = false;
    if (followed_ == wanted)
        return;
    followed_ = wanted;
    mount(setupFor(row, iface));
}

LinkStatus SimulatedBoard::open() {
    if (!plugged_)
        return {LinkCode::DeviceNotFound, "no FTDI device found", OpenFailure::Absent};
    if (open_)
        return {LinkCode::DeviceNotOpened, explainOpenFailure(OpenFailure::Busy, "device busy"),
                OpenFailure::Busy};
    if (faultFor(LinkOp::Open))
        return {LinkCode::DeviceNotOpened, "simulated open failure", OpenFailure::Other};
    if (followsSelection_) {
        const PanelSelection selection = panelSelection();
        mount(setupFor(selection.row, selection.iface));
    }
    open_ = true;
    bitBang_ = false;  // a fresh handle starts in the chip's serial mode
    outputMask_ = 0;
    ++opens_;
    return LinkStatus::success();
}

LinkStatus SimulatedBoard::setBitMode(std::uint8_t mask, std::uint8_t mode) {
    if (!open_)
        return {LinkCode::NotOpen, "device not open"};
    if (faultFor(LinkOp::SetBitMode))
        return {LinkCode::IoError, "simulated bit mode failure"};
    bitBang_ = mode == kAsyncBitBang;
    outputMask_ = mask;
    samples_ = 0;
    return LinkStatus::success();
}

LinkStatus SimulatedBoard::setBaudRate(int baud) {
    if (!open_)
        return {LinkCode::NotOpen, "device not open"};
    if (faultFor(LinkOp::SetBaudRate))
        return {LinkCode::IoError, "simulated baud rate failure"};
    baud_ = baud;
    return LinkStatus::success();
}

LinkStatus SimulatedBoard::write(std::span<const std::uint8_t> bytes, std::size_t& written) {
    written = 0;
    if (!open_)
        return {LinkCode::NotOpen, "device not open"};
    const auto fault = faultFor(LinkOp::Write);
    if (fault == Fault::Fail)
        return {LinkCode::IoError, "simulated write failure"};
    const std::size_t count = fault == Fault::ShortWrite ? bytes.size() / 2 : bytes.size();
    if (bitBang_) {
        // Only in bit-bang mode do the bytes become pin levels; otherwise they leave as UART
        // characters and no attenuator sees a clock or a latch.
        for (std::size_t i = 0; i < count; ++i) {
            const auto now = static_cast<std::uint8_t>(bytes[i] & outputMask_);
            for (std::size_t a = 0; a < attenuators_.size(); ++a) {
                SimulatedAttenuator& attenuator = attenuators_[a];
                const int before = attenuator.latches();
                attenuator.sample(pins_, now);
                if (logLatches_ && attenuator.latches() != before)
                    latchLog_.push_back({samples_, a, *attenuator.code()});
            }
            pins_ = now;
            ++samples_;
        }
    }
    written = count;
    return LinkStatus::success();
}

LinkStatus SimulatedBoard::close() {
    if (!open_)
        return {LinkCode::NotOpen, "device not open"};
    // Like a driver handle, the device is released even when the close reports a failure.
    open_ = false;
    ++closes_;
    if (faultFor(LinkOp::Close))
        return {LinkCode::IoError, "simulated close failure"};
    return LinkStatus::success();
}

std::vector<std::string> SimulatedBoard::report() const {
    std::vector<std::string> lines;
    for (const auto& attenuator : attenuators_) {
        std::string line = attenuator.setup().label + ": ";
        if (attenuator.code()) {
            line += "code " + formatCode(*attenuator.code()) + " (" + formatDb(attenuator.db()) +
                    " dB)";
        } else {
            line += "not latched";
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace stepctl
