// What libftdi 1.5 puts on the wire for an FT232R on interface A, as the tests expect it.
#pragma once

#include <vector>

#include "UsbTraffic.h"

namespace stepctl::usbtest::wire {

// ftdi_usb_open_dev: SIO reset, then 9600 baud.
inline constexpr SetupPacket kSioReset{0x40, 0x00, 0x0000, 0x0001, 0};
inline constexpr SetupPacket kBaud9600{0x40, 0x03, 0x4138, 0x0000, 0};
// Asynchronous bit-bang (mode 1 in the high byte), all eight pins outputs (mask 0xFF).
inline constexpr SetupPacket kBitBangAllOutputs{0x40, 0x0B, 0x01FF, 0x0001, 0};
// The divisor of a plain 460800 setting: 3 MHz / 6.5.
inline constexpr SetupPacket kBaud460800{0x40, 0x03, 0x4006, 0x0000, 0};

// The connection probe: open and close, nothing else.
inline std::vector<SetupPacket> probeSequence() {
    return {kSioReset, kBaud9600};
}

// The control part of one frame transfer; the frame follows as one bulk OUT.
inline std::vector<SetupPacket> frameTransferSequence() {
    return {kSioReset, kBaud9600, kBitBangAllOutputs, kBaud460800};
}

}  // namespace stepctl::usbtest::wire
