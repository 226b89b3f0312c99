// How an FT232R looks to the host: its sysfs entry, its descriptors and its strings. Pure data,
// no I/O.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace stepctl::usbtest {

// One emulated chip. Every chip on a bed needs its own (bus, address) pair.
struct ChipSpec {
    std::string serial = "A10K0001";
    std::string manufacturer = "FTDI";
    std::string description = "FT232R USB UART";  // the product string
    int bus = 1;
    int address = 2;  // the device number on the bus, 1..127
    // The kernel's serial driver (ftdi_sio) holds the interface, as on a desktop after plug-in.
    // Claiming then fails with EBUSY until the host detaches it.
    bool serialDriverBound = true;
};

inline constexpr std::uint16_t kFtdiVendor = 0x0403;
inline constexpr std::uint16_t kFt232rProduct = 0x6001;
inline constexpr std::uint8_t kBulkOutEndpoint = 0x02;
inline constexpr std::uint8_t kBulkInEndpoint = 0x81;

// Device, configuration, interface and both endpoint descriptors, as sysfs holds them.
const std::vector<std::uint8_t>& ft232rDescriptors();

std::string sysfsPath(const ChipSpec& chip);   // "/sys/devices/.../usb1/1-2"
std::string deviceNode(const ChipSpec& chip);  // "/dev/bus/usb/001/002"

// The chip in umockdev's text format (P:, N:, E:, A:, H: lines).
std::string umockdevDescription(const ChipSpec& chip);

// The answer to GET_DESCRIPTOR(STRING, index): index 0 lists US English, 1 the manufacturer,
// 2 the product, 3 the serial number. Strings are ASCII. Nothing for any other index.
std::optional<std::vector<std::uint8_t>> stringDescriptor(const ChipSpec& chip, std::uint8_t index);

}  // namespace stepctl::usbtest
