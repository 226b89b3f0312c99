#include "UsbTraffic.h"

#include <cstdio>

namespace stepctl::usbtest {

std::string hex(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char byte[4];
    for (auto b : bytes) {
        std::snprintf(byte, sizeof byte, out.empty() ? "%02X" : " %02X", b);
        out += byte;
    }
    return out;
}

std::string describe(const SetupPacket& s) {
    char text[64];
    std::snprintf(text, sizeof text, "%02X/%02X wValue %04X wIndex %04X wLength %u", s.requestType,
                  s.request, s.value, s.index, s.length);
    return text;
}

std::string describe(const Transfer& t) {
    std::string out;
    switch (t.kind) {
        case Transfer::Kind::Control:
            out = "control " + describe(t.setup);
            break;
        case Transfer::Kind::BulkOut:
            out = "bulk OUT (" + std::to_string(t.accepted) + " of " +
                  std::to_string(t.payload.size()) + " taken) " + hex(t.payload);
            break;
        case Transfer::Kind::BulkIn:
            out = "bulk IN";
            break;
    }
    if (t.status != 0)
        out += " -> status " + std::to_string(t.status);
    return out;
}

}  // namespace stepctl::usbtest
