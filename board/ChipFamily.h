// The FTDI chip families a board may carry, as far as their bit-bang timing differs.
#pragma once

#include <string_view>

namespace stepctl {

enum class ChipFamily {
    Unknown,  // the link cannot tell (D2XX, a recording link)
    Am,       // FT8U232AM: no bit-bang mode
    Bm,       // FT232BM, FT245BM
    R,        // FT232R, FT245R
    C2232,    // FT2232C/D
    H2232,    // FT2232H
    H4232,    // FT4232H
    H232,     // FT232H
    X,        // FT-X series (FT230X, FT231X, ...)
};

inline std::string_view chipFamilyName(ChipFamily family) {
    switch (family) {
        case ChipFamily::Am:
            return "FT8U232AM";
        case ChipFamily::Bm:
            return "FT232BM";
        case ChipFamily::R:
            return "FT232R";
        case ChipFamily::C2232:
            return "FT2232C/D";
        case ChipFamily::H2232:
            return "FT2232H";
        case ChipFamily::H4232:
            return "FT4232H";
        case ChipFamily::H232:
            return "FT232H";
        case ChipFamily::X:
            return "FT-X";
        case ChipFamily::Unknown:
            break;
    }
    return "unknown chip";
}

}  // namespace stepctl
