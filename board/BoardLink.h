// The link to the interface chip: the five driver calls an exchange is made of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "ChipFamily.h"

namespace stepctl {

class ByteSource;  // ByteStream.h
struct StreamPace;
struct StreamEnd;

enum class LinkCode {
    Ok = 0,
    DeviceNotFound,   // nothing attached
    DeviceNotOpened,  // attached but could not be opened (busy, permissions, ...)
    NotOpen,          // a call that needs an open device without one
    IoError,          // a transfer or configuration call failed
    InvalidArgument,
    DriverMissing,  // the driver library is not installed or is not the one expected
};

// Why a device could not be opened, in the terms a user acts on (OpenFailure.h words them).
enum class OpenFailure {
    None,          // opened, or the link cannot tell
    Absent,        // no chip attached, or it went away
    AccessDenied,  // this user may not open it (no udev rule, not at the seat, not in plugdev)
    Busy,          // another program or a kernel driver holds it
    NoUsb,         // the USB library could not look for chips at all
    Other,         // anything else; the message says what
};

struct LinkStatus {
    LinkCode code = LinkCode::Ok;
    std::string message;                  // the driver's own words when something failed
    OpenFailure why = OpenFailure::None;  // set by open() where the link can tell

    bool ok() const { return code == LinkCode::Ok; }
    static LinkStatus success() { return {}; }
};

// The calls, for the links that record or fail them.
enum class LinkOp { Open, SetBitMode, SetBaudRate, Write, Close };

inline constexpr std::uint8_t kAllPinsOutput = 0xFF;
inline constexpr std::uint8_t kAsyncBitBang = 0x01;
inline constexpr int kBitBangBaud = 460800;

class BoardLink {
  public:
    virtual ~BoardLink() = default;

    virtual LinkStatus open() = 0;  // the first device the driver lists
    virtual LinkStatus setBitMode(std::uint8_t mask, std::uint8_t mode) = 0;
    virtual LinkStatus setBaudRate(int baud) = 0;
    // One write; `written` receives how many bytes the chip took.
    virtual LinkStatus write(std::span<const std::uint8_t> bytes, std::size_t& written) = 0;
    virtual LinkStatus close() = 0;

    // The chip and driver in words, for messages: the one the last open reached, else the one
    // asked for ("FTDI chip 0403:6001 on USB bus 1, address 5, through libftdi1"). Empty when
    // the link has nothing to say.
    virtual std::string describeDevice() const { return {}; }

    // A long write on an open, configured chip, piece by piece as the chip takes it
    // (ByteStream.h). This default waits for each write; a link that can queue several does.
    virtual StreamEnd writeStream(ByteSource& source, const StreamPace& pace);
    // The family of the chip the last open reached, where the link can tell.
    virtual ChipFamily chipFamily() const { return ChipFamily::Unknown; }
};

}  // namespace stepctl
