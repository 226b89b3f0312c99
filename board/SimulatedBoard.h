// A logic-level model of the evaluation board, for use without hardware and in tests. It sees
// only the pin levels, one byte per sample, and reacts as the attenuators on the board would.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "BoardLink.h"
#include "Catalogue.h"
#include "PinMap.h"

namespace stepctl {

// One attenuator chip on the board and how it is wired.
struct AttenuatorSetup {
    Group group = Group::SixBit;         // fixes the code width and the step
    Interface mode = Interface::Serial;  // how it listens to the pins
    int address = 0;                     // strapped address, Serial Addressable only
    std::uint8_t lePin = pins::kLe;      // its latch enable
    std::string label;

    bool operator==(const AttenuatorSetup&) const = default;
};

class SimulatedAttenuator {
  public:
    explicit SimulatedAttenuator(AttenuatorSetup setup) : setup_(std::move(setup)) {}

    // One sample: the pin levels before and now.
    void sample(std::uint8_t before, std::uint8_t now);

    const AttenuatorSetup& setup() const { return setup_; }
    std::optional<int> code() const { return code_; }  // none until the first latch
    float db() const;
    int latches() const { return latches_; }

  private:
    void latch(std::uint8_t now);

    AttenuatorSetup setup_;
    std::uint32_t shift_ = 0;  // the serial shift register
    std::optional<int> code_;
    int latches_ = 0;
};

// One latch as the board saw it: which attenuator took which code at which pin sample.
struct SimulatedLatch {
    std::uint64_t sample = 0;  // counted from the last bit-mode call
    std::size_t attenuator = 0;
    int code = 0;
};

enum class Fault {
    Fail,        // the call reports an error
    ShortWrite,  // the write takes only the first half of the bytes and says so
};

class SimulatedBoard final : public BoardLink {
  public:
    // A board that carries whatever device and interface the selection state names, looked up
    // at every open: what the user would plug in for the device chosen.
    SimulatedBoard() = default;
    // A board with a fixed set of attenuators.
    explicit SimulatedBoard(std::vector<AttenuatorSetup> fixed);

    // The attenuators of the evaluation board for a catalogue row wired for an interface: the
    // dual device's two attenuators (always serial), eight devices at addresses 0..7 sharing
    // the bus for Serial Addressable, or one device.
    static std::vector<AttenuatorSetup> setupFor(int row, Interface iface);

    LinkStatus open() override;
    LinkStatus setBitMode(std::uint8_t mask, std::uint8_t mode) override;
    LinkStatus setBaudRate(int baud) override;
    LinkStatus write(std::span<const std::uint8_t> bytes, std::size_t& written) override;
    LinkStatus close() override;
    std::string describeDevice() const override { return "the simulated board"; }
    ChipFamily chipFamily() const override { return ChipFamily::R; }

    // From now on the board carries the device of `row` wired for `iface`, whatever the panel's
    // selection says: how a session that owns the board tells it what is plugged in. Re-wires
    // at once when the device or interface changes (a new board holds nothing yet).
    void follow(int row, Interface iface);

    void plug(bool present) { plugged_ = present; }
    bool plugged() const { return plugged_; }

    // Every later call of this kind fails the given way, until clearFaults().
    void failCall(LinkOp op, Fault fault = Fault::Fail);
    void clearFaults() { faults_.clear(); }

    bool isOpen() const { return open_; }
    int opens() const { return opens_; }
    int closes() const { return closes_; }
    int baudRate() const { return baud_; }
    std::uint8_t pinLevels() const { return pins_; }
    const std::vector<SimulatedAttenuator>& attenuators() const { return attenuators_; }

    // Pin samples put out since the last bit-mode call: where a stream has got to.
    std::uint64_t samples() const { return samples_; }
    // Keeps each latch from now on, for takeLatches(); off again with false.
    void logLatches(bool on) {
        logLatches_ = on;
        latchLog_.clear();
    }
    // The latches kept since the last call, in order.
    std::vector<SimulatedLatch> takeLatches() { return std::exchange(latchLog_, {}); }

    // One line per attenuator: "attenuator 1: code 42 (21.00 dB)" or "...: not latched".
    std::vector<std::string> report() const;

  private:
    std::optional<Fault> faultFor(LinkOp op) const;
    void mount(std::vector<AttenuatorSetup> setups);

    bool followsSelection_ = true;  // the panel's selection, read at every open
    std::optional<std::pair<int, Interface>> followed_;
    bool plugged_ = true;
    bool open_ = false;
    bool bitBang_ = false;
    std::uint8_t outputMask_ = 0;
    std::uint8_t pins_ = 0;
    int baud_ = 0;
    std::uint64_t samples_ = 0;
    bool logLatches_ = false;
    std::vector<SimulatedLatch> latchLog_;
    int opens_ = 0;
    int closes_ = 0;
    std::vector<std::pair<LinkOp, Fault>> faults_;
    std::vector<AttenuatorSetup> setups_;
    std::vector<SimulatedAttenuator> attenuators_;
};

}  // namespace stepctl
