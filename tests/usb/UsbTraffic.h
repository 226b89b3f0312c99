// What an emulated chip saw on the bus, and the faults a test can make it answer with.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace stepctl::usbtest {

// The eight-byte setup packet of a control transfer.
struct SetupPacket {
    std::uint8_t requestType =
        0;                     // bmRequestType: 0x40 vendor OUT, 0xC0 vendor IN, 0x80 standard IN
    std::uint8_t request = 0;  // bRequest
    std::uint16_t value = 0;   // wValue
    std::uint16_t index = 0;   // wIndex
    std::uint16_t length = 0;  // wLength

    bool operator==(const SetupPacket&) const = default;
};

// One transfer as the chip received it, in the order of submission.
struct Transfer {
    enum class Kind { Control, BulkOut, BulkIn };

    Kind kind = Kind::Control;
    std::uint8_t endpoint = 0;          // 0x00 for control, 0x02 bulk OUT, 0x81 bulk IN
    SetupPacket setup;                  // control transfers only
    std::vector<std::uint8_t> payload;  // bulk OUT: every byte the host submitted
    std::size_t accepted = 0;           // bulk OUT: how many of them the chip took
    int status = 0;                     // 0, or the negative errno the transfer ended with
};

// How a chosen transfer ends instead of succeeding. Each fault hits one transfer only.
struct BusFault {
    int error = 0;                        // errno the transfer ends with (0: it completes normally)
    std::optional<std::size_t> accepted;  // bulk OUT: bytes taken before it ended (none: all)

    // The endpoint stalls: nothing is taken, the host sees -EPIPE.
    static BusFault stall() { return {EPIPE, 0}; }
    // The chip takes only `bytes` and completes the transfer normally (a short URB).
    static BusFault shortWrite(std::size_t bytes) { return {0, bytes}; }
    // `bytes` go out, then the transfer breaks with a protocol error (-EPROTO).
    static BusFault brokenAfter(std::size_t bytes) { return {EPROTO, bytes}; }
};

// Which transfer a fault hits: the nth (from 0) matching transfer submitted after the fault was
// set. A control target may name the bRequest it applies to.
struct Target {
    Transfer::Kind kind = Transfer::Kind::BulkOut;
    std::optional<std::uint8_t> request;
    int nth = 0;

    static Target bulkOut(int nth = 0) { return {Transfer::Kind::BulkOut, std::nullopt, nth}; }
    static Target control(std::uint8_t request, int nth = 0) {
        return {Transfer::Kind::Control, request, nth};
    }

    bool matches(const Transfer& t) const {
        return t.kind == kind && (!request || t.setup.request == *request);
    }
};

// What the host did to the chip besides transfers.
struct HostActions {
    int opens = 0;     // times the device node was opened
    int claims = 0;    // interface claims granted
    int releases = 0;  // interface releases
    int detaches = 0;  // times the kernel's serial driver was unbound from the interface
    int reattaches = 0;
    bool serialDriverBound = false;  // ftdi_sio holds the interface right now
};

std::string describe(const SetupPacket& setup);  // "40/03 wValue 4006 wIndex 0000 wLength 0"
std::string describe(const Transfer& transfer);
std::string hex(const std::vector<std::uint8_t>& bytes);  // "40 60 00 08"

// Readable GoogleTest failure messages.
inline void PrintTo(const SetupPacket& setup, std::ostream* os) {
    *os << describe(setup);
}
inline void PrintTo(const Transfer& transfer, std::ostream* os) {
    *os << describe(transfer);
}

}  // namespace stepctl::usbtest
