// Frames written as the hex tables in the documentation are: "40 60 00 08", the rest zero.
#pragma once

#include <sstream>
#include <string>

#include "Frames.h"

inline stepctl::Frame frameFromHex(const std::string& text) {
    stepctl::Frame frame{};
    std::istringstream in(text);
    std::size_t i = 0;
    unsigned value = 0;
    while (in >> std::hex >> value)
        frame.at(i++) = static_cast<std::uint8_t>(value);
    return frame;
}

inline std::string hexOf(const stepctl::Frame& frame) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (auto byte : frame) {
        if (!out.empty())
            out += ' ';
        out += digits[byte >> 4];
        out += digits[byte & 15];
    }
    return out;
}
