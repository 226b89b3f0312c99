// Writes the two files umockdev-run needs to stand in for an FT232R that takes one frame:
//
//   stepctl_usb_replay_files DIR "00 20 40 60 ..."
//
// DIR/ft232r.umockdev  the chip (sysfs attributes, descriptors) at /dev/bus/usb/001/002
// DIR/send.ioctl       the transfers of one frame transfer, as umockdev replays them
//
//   umockdev-run --device DIR/ft232r.umockdev --ioctl /dev/bus/usb/001/002=DIR/send.ioctl -- CMD
//
// The replay accepts an OUT transfer only when every byte matches the script: a program that
// sends a different frame, or configures the chip differently, gets a failed transfer. So a
// zero exit status of a sender that checks its transfers means the frame reached the "chip".
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Ft232rDevice.h"
#include "FtdiWire.h"

namespace {

using namespace stepctl::usbtest;

std::string hex(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char digits[3];
    for (std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", b);
        out += digits;
    }
    return out;
}

std::vector<std::uint8_t> bytesOf(const SetupPacket& p) {
    return {p.requestType,
            p.request,
            static_cast<std::uint8_t>(p.value & 0xFF),
            static_cast<std::uint8_t>(p.value >> 8),
            static_cast<std::uint8_t>(p.index & 0xFF),
            static_cast<std::uint8_t>(p.index >> 8),
            static_cast<std::uint8_t>(p.length & 0xFF),
            static_cast<std::uint8_t>(p.length >> 8)};
}

// One completed URB in umockdev's ioctl record format: request, return value, then type,
// endpoint, status, flags, buffer length, actual length, error count and the buffer. libusb
// reaps without blocking, so that is the request the replay has to answer.
std::string urb(int type, int endpoint, const std::vector<std::uint8_t>& buffer,
                std::size_t actual) {
    std::ostringstream line;
    line << "USBDEVFS_REAPURBNDELAY 0 " << type << ' ' << endpoint << " 0 0 " << buffer.size()
         << ' ' << actual << " 0 " << hex(buffer) << '\n';
    return line.str();
}

constexpr int kUrbTypeControl = 2;  // USBDEVFS_URB_TYPE_CONTROL
constexpr int kUrbTypeBulk = 3;     // USBDEVFS_URB_TYPE_BULK

bool readFrame(const std::string& text, std::vector<std::uint8_t>& frame) {
    std::istringstream in(text);
    std::string byte;
    while (in >> byte) {
        if (byte.size() != 2 || byte.find_first_not_of("0123456789abcdefABCDEF") != byte.npos)
            return false;
        frame.push_back(static_cast<std::uint8_t>(std::stoul(byte, nullptr, 16)));
    }
    return frame.size() == 36;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::uint8_t> frame;
    if (argc != 3 || !readFrame(argv[2], frame)) {
        std::cerr << "usage: stepctl_usb_replay_files DIR \"36 bytes in hex\"\n";
        return 2;
    }
    const std::string dir = argv[1];
    const ChipSpec chip;  // bus 1, address 2: /dev/bus/usb/001/002

    std::ofstream device(dir + "/ft232r.umockdev");
    device << umockdevDescription(chip);

    std::ofstream script(dir + "/send.ioctl");
    script << "@DEV " << deviceNode(chip) << " (usbdevfs)\n";
    for (const SetupPacket& setup : wire::frameTransferSequence())
        script << urb(kUrbTypeControl, 0, bytesOf(setup), 0);
    script << urb(kUrbTypeBulk, kBulkOutEndpoint, frame, frame.size());

    device.close();
    script.close();
    if (!device || !script) {
        std::cerr << "stepctl_usb_replay_files: cannot write into " << dir << '\n';
        return 1;
    }
    return 0;
}
