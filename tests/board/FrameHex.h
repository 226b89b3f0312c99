// Frames as the hex tables in the documentation write them ("40 60 00 08", the rest zero), and
// the last frame a recording link saw written.
#pragma once

#include <algorithm>
#include <sstream>
#include <string>

#include "Frames.h"
#include "RecordingLink.h"

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

// The bytes of the link's last write (all zero when nothing was written).
inline stepctl::Frame lastWrite(const stepctl::RecordingLink& link) {
    stepctl::Frame frame{};
    const auto writes = link.writes();
    if (!writes.empty())
        std::copy_n(writes.back().begin(), std::min(writes.back().size(), frame.size()),
                    frame.begin());
    return frame;
}
