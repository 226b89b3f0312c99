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

// How a chosen transfer ends instead of succeeding. Each fault hits one transfer only, unless
// its target says every time.
struct BusFault {
    int error = 0;                        // errno the transfer ends with (0: it completes normally)
    std::optional<std::size_t> accepted;  // bulk OUT: bytes taken before it ended (none: all)

    // The endpoint stalls: nothing is taken, the host sees -EPIPE.
    static BusFault stall() { return {EPIPE, 0}; }
    // The chip takes only `bytes` and completes the transfer normally (a short URB).
    static BusFault shortWrite(std::size_t bytes) { return {0, bytes}; }
    // `bytes` go out, then the transfer breaks with a protocol error (-EPROTO).
    static BusFault brokenAfter(std::size_t bytes) { return {EPROTO, bytes}; }
    // The request fails with `error`: for an interface claim or release.
    static BusFault refused(int error) { return {error, std::nullopt}; }
};

// Which request a fault hits: the nth (from 0) matching one submitted after the fault was set,
// or, with everyTime(), every matching one until the faults are cleared. A control target may
// name the bRequest, or the bRequest and wValue of a whole setup packet. Besides transfers, a
// fault may hit the claim or the release of the interface (usbdevfs CLAIMINTERFACE and
// RELEASEINTERFACE), which libftdi issues on open and on close.
struct Target {
    enum class Aim { Transfer, Claim, Release };

    Aim aim = Aim::Transfer;
    Transfer::Kind kind = Transfer::Kind::BulkOut;  // transfers only
    std::optional<std::uint8_t> request;
    std::optional<std::uint16_t> value;
    int nth = 0;
    bool every = false;

    static Target bulkOut(int nth = 0) {
        return {Aim::Transfer, Transfer::Kind::BulkOut, std::nullopt, std::nullopt, nth};
    }
    static Target control(std::uint8_t request, int nth = 0) {
        return {Aim::Transfer, Transfer::Kind::Control, request, std::nullopt, nth};
    }
    // The request with the bRequest and wValue of `setup`: the rate 460800, say, and not the
    // 9600 that the open sets with the same bRequest.
    static Target control(const SetupPacket& setup, int nth = 0) {
        return {Aim::Transfer, Transfer::Kind::Control, setup.request, setup.value, nth};
    }
    static Target claim(int nth = 0) { return {Aim::Claim, {}, std::nullopt, std::nullopt, nth}; }
    static Target release(int nth = 0) {
        return {Aim::Release, {}, std::nullopt, std::nullopt, nth};
    }
    // The same requests, every time until the faults are cleared: a chip that keeps failing.
    Target everyTime() const {
        Target t = *this;
        t.every = true;
        return t;
    }

    bool matches(const Transfer& t) const {
        return aim == Aim::Transfer && t.kind == kind &&
               (!request || t.setup.request == *request) && (!value || t.setup.value == *value);
    }
};

// What the host did to the chip besides transfers.
struct HostActions {
    int opens = 0;     // times the device node was opened
    int claims = 0;    // interface claims granted
    int releases = 0;  // interface releases
    int detaches = 0;  // times the kernel's serial driver was unbound from the interface
    int reattaches = 0;
    int closes = 0;  // times a handle was closed (seen a moment after the close: poll for it)
    bool serialDriverBound = false;  // ftdi_sio holds the interface right now
    // A handle holds the interface right now. Closing the handle frees it, as the kernel does,
    // also after a release that failed.
    bool claimed = false;
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
