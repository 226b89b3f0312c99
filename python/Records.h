// What the module hands back: plain records, read-only from Python.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "Frames.h"
#include "SendRequest.h"
#include "SendRoad.h"

namespace stepctl::python {

// A catalogue row.
struct Device {
    int row = 0;
    std::string name;
    std::string group;  // "6-bit", "7-bit", "dual 6-bit"
    int bits = 0;
    double step = 0.0;  // dB per code step
    float top = 0.0f;   // dB of the top code
    std::vector<Interface> interfaces;
};

std::vector<Device> devices();

// What a Send does with a request: the codes and dB values its frame carries, and the frame.
struct Plan {
    std::string device;
    int row = 0;
    Interface interface = Interface::Serial;
    std::optional<int> address;  // addressable only
    std::vector<int> codes;
    std::vector<float> db;
    std::string kind;  // "serial-6", ..., "dual"
    Frame frame{};
    std::vector<std::string> warnings;  // clamped values, arguments that go nowhere
};

// The outcome of a Send that reached the chip.
struct Sent : Plan {
    std::string board;   // the Board's kind
    std::string status;  // "sent"
    std::string detail;  // a note on a close that failed after the full write, else empty
};

Plan planOf(const session::SendRequest& request, const SendResult& result,
            std::vector<std::string> warnings);
Sent sentOf(const session::SendRequest& request, const SendResult& result,
            std::vector<std::string> warnings, const std::string& board);

}  // namespace stepctl::python
