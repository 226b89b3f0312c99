#include "Ft232rDevice.h"

#include <cstdio>

namespace stepctl::usbtest {
namespace {

std::string threeDigits(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

// A: values: backslashes doubled; the trailing newline keeps libusb's sysfs parser quiet.
std::string attribute(const std::string& name, const std::string& value) {
    std::string escaped;
    for (char c : value)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "A: " + name + "=" + escaped + "\\n\n";
}

std::string hexString(const std::vector<std::uint8_t>& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (auto b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::vector<std::uint8_t> utf16String(const std::string& text) {
    std::vector<std::uint8_t> d{0, 3};  // bLength filled in below, bDescriptorType STRING
    for (char c : text) {
        d.push_back(static_cast<std::uint8_t>(c));
        d.push_back(0);
    }
    d[0] = static_cast<std::uint8_t>(d.size());
    return d;
}

}  // namespace

const std::vector<std::uint8_t>& ft232rDescriptors() {
    static const std::vector<std::uint8_t> bytes{
        // Device: USB 2.0, EP0 8 bytes, 0403:6001, bcdDevice 6.00 (an R chip to libftdi),
        // strings 1 manufacturer, 2 product, 3 serial, one configuration.
        0x12, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x08, 0x03, 0x04, 0x01, 0x60, 0x00, 0x06, 0x01,
        0x02, 0x03, 0x01,
        // Configuration 1: 32 bytes in all, one interface, bus powered, remote wakeup, 90 mA.
        0x09, 0x02, 0x20, 0x00, 0x01, 0x01, 0x00, 0xA0, 0x2D,
        // Interface 0: two endpoints, vendor class.
        0x09, 0x04, 0x00, 0x00, 0x02, 0xFF, 0xFF, 0xFF, 0x02,
        // Bulk IN 0x81 and bulk OUT 0x02, 64 bytes each.
        0x07, 0x05, 0x81, 0x02, 0x40, 0x00, 0x00, 0x07, 0x05, 0x02, 0x02, 0x40, 0x00, 0x00};
    return bytes;
}

std::string sysfsPath(const ChipSpec& chip) {
    // The port number is taken from the address so that each chip gets a path of its own.
    const std::string bus = std::to_string(chip.bus);
    return "/sys/devices/pci0000:00/0000:00:14.0/usb" + bus + "/" + bus + "-" +
           std::to_string(chip.address);
}

std::string deviceNode(const ChipSpec& chip) {
    return "/dev/bus/usb/" + threeDigits(chip.bus) + "/" + threeDigits(chip.address);
}

std::string umockdevDescription(const ChipSpec& chip) {
    const std::string node = deviceNode(chip);
    const int minor = (chip.bus - 1) * 128 + chip.address - 1;
    std::string d;
    d += "P: " + sysfsPath(chip).substr(4) + "\n";  // without "/sys"
    d += "N: " + node.substr(5) + "\n";             // without "/dev/"
    d += "E: SUBSYSTEM=usb\n";
    d += "E: DEVTYPE=usb_device\n";
    d += "E: DEVNAME=" + node + "\n";
    d += "E: BUSNUM=" + threeDigits(chip.bus) + "\n";
    d += "E: DEVNUM=" + threeDigits(chip.address) + "\n";
    d += "E: PRODUCT=403/6001/600\n";
    d += "E: ID_VENDOR_ID=0403\n";
    d += "E: ID_MODEL_ID=6001\n";
    d += "E: ID_SERIAL_SHORT=" + chip.serial + "\n";
    d += attribute("idVendor", "0403");
    d += attribute("idProduct", "6001");
    d += attribute("bcdDevice", "0600");
    d += attribute("busnum", std::to_string(chip.bus));
    d += attribute("devnum", std::to_string(chip.address));
    d += attribute("dev", "189:" + std::to_string(minor));
    d += attribute("speed", "12");
    d += attribute("manufacturer", chip.manufacturer);
    d += attribute("product", chip.description);
    d += attribute("serial", chip.serial);
    // Without it libusb asks the device with GET_CONFIGURATION.
    d += attribute("bConfigurationValue", "1");
    d += attribute("bNumConfigurations", "1");
    d += "H: descriptors=" + hexString(ft232rDescriptors()) + "\n";
    return d;
}

std::optional<std::vector<std::uint8_t>> stringDescriptor(const ChipSpec& chip,
                                                          std::uint8_t index) {
    switch (index) {
        case 0:
            return std::vector<std::uint8_t>{4, 3, 0x09, 0x04};  // LANGID 0x0409
        case 1:
            return utf16String(chip.manufacturer);
        case 2:
            return utf16String(chip.description);
        case 3:
            return utf16String(chip.serial);
        default:
            return std::nullopt;
    }
}

}  // namespace stepctl::usbtest
