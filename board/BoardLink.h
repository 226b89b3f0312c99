// The link to the interface chip: the five driver calls an exchange is made of.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace stepctl {

enum class LinkCode {
    Ok = 0,
    DeviceNotFound,   // nothing attached
    DeviceNotOpened,  // attached but could not be opened (busy, permissions, ...)
    NotOpen,          // a call that needs an open device without one
    IoError,          // a transfer or configuration call failed
    InvalidArgument,
    DriverMissing,  // the driver library is not installed or is not the one expected
};

struct LinkStatus {
    LinkCode code = LinkCode::Ok;
    std::string message;  // the driver's own words when something failed

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
};

}  // namespace stepctl
