// The real link: an FTDI chip driven through libftdi1.
#pragma once

#include <string>
#include <vector>

#include "BoardLink.h"

struct ftdi_context;

namespace stepctl {

class FtdiLink final : public BoardLink {
  public:
    // The first chip in libftdi's list of all FTDI devices.
    FtdiLink() = default;
    // The chip with this serial number instead.
    explicit FtdiLink(std::string serial) : serial_(std::move(serial)) {}
    ~FtdiLink() override;

    FtdiLink(const FtdiLink&) = delete;
    FtdiLink& operator=(const FtdiLink&) = delete;

    LinkStatus open() override;
    LinkStatus setBitMode(std::uint8_t mask, std::uint8_t mode) override;
    // The rate as the chip understands it: 460800 gives the divisor of a plain 460800 setting.
    LinkStatus setBaudRate(int baud) override;
    LinkStatus write(std::span<const std::uint8_t> bytes, std::size_t& written) override;
    LinkStatus close() override;
    std::string describeDevice() const override;
    // libftdi's asynchronous writes, several in flight, so the chip never waits for the host.
    StreamEnd writeStream(ByteSource& source, const StreamPace& pace) override;
    ChipFamily chipFamily() const override;

    // The serial number asked for; empty for the first chip.
    const std::string& serial() const { return serial_; }

  private:
    LinkStatus failure(LinkCode code);

    std::string serial_;
    std::string reached_;  // the chip the last successful open reached, in words
    ChipFamily family_ = ChipFamily::Unknown;
    ftdi_context* ctx_ = nullptr;  // lives from open to close, like a driver handle
};

struct FtdiChipInfo {
    int index = 0;  // position in libftdi's list; 0 is the chip the panel uses
    int vendorId = 0;
    int productId = 0;
    int bus = 0;
    int address = 0;
    std::string manufacturer;
    std::string description;
    std::string serial;
    // Why the three strings above are empty (access denied, busy, a failed descriptor
    // request), worded by OpenFailure.h; empty when they were read.
    std::string stringError;
    OpenFailure stringFailure = OpenFailure::None;
};

// The attached FTDI chips, in libftdi's order. Reading their strings opens each device without
// claiming it, so the kernel's serial driver stays bound. On failure, `error` says why; a chip
// whose strings could not be read is still listed, with stringError set.
std::vector<FtdiChipInfo> listFtdiChips(std::string* error = nullptr);

}  // namespace stepctl
