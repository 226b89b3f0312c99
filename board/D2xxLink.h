// The link over FTDI's own D2XX driver library, the driver Windows installs for an FTDI chip
// (and which can be installed on Linux too). The library is loaded when the link first opens a
// chip, so a program without it still starts and says what is missing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BoardLink.h"
#include "D2xxApi.h"

namespace stepctl {

struct D2xxLibrary;

class D2xxLink final : public BoardLink {
  public:
    // The first chip the driver lists (device index 0).
    D2xxLink() = default;
    // The chip with this serial number instead.
    explicit D2xxLink(std::string serial) : serial_(std::move(serial)) {}
    ~D2xxLink() override;

    D2xxLink(const D2xxLink&) = delete;
    D2xxLink& operator=(const D2xxLink&) = delete;

    LinkStatus open() override;
    LinkStatus setBitMode(std::uint8_t mask, std::uint8_t mode) override;
    // The plain rate: the driver works out the chip's divisor itself.
    LinkStatus setBaudRate(int baud) override;
    LinkStatus write(std::span<const std::uint8_t> bytes, std::size_t& written) override;
    LinkStatus close() override;

  private:
    std::string serial_;
    std::shared_ptr<const D2xxLibrary> library_;  // kept once loaded
    d2xx::Handle handle_ = nullptr;
    bool open_ = false;
};

// "ftd2xx.dll" on Windows, "libftd2xx.so" elsewhere.
std::string d2xxLibraryFileName();

// A driver status in words with its number: "device not found (D2XX status 2)".
std::string d2xxStatusText(d2xx::Status status);
// The status as the board link reports it.
LinkStatus d2xxLinkStatus(d2xx::Status status);

struct D2xxChipInfo {
    int index = 0;  // the device index; 0 is the chip the panel uses
    bool openElsewhere = false;
    std::uint32_t type = 0;  // the driver's chip type number
    int vendorId = 0;
    int productId = 0;
    std::uint32_t locationId = 0;
    std::string serial;
    std::string description;
};

// The chips the driver lists, in its order. On failure, `error` says why.
std::vector<D2xxChipInfo> listD2xxChips(std::string* error = nullptr);

}  // namespace stepctl
