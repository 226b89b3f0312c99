// The banner line at the bottom of the panel: which board the link goes to and whether its
// driver is there, or, after a Send whose frame did not go out whole, what went wrong, in the
// connection indicator's red, until a Send succeeds.
#pragma once

#include <optional>
#include <string>

#include "Exchange.h"

namespace stepctl::panel {

struct BannerFacts {
    bool simulated = false;      // the link goes to the simulated board
    bool driverMissing = false;  // the last exchange found no driver library
    std::string failure;         // the last failed Send's words; empty after a Send succeeded
};

struct BannerLine {
    std::string text;
    bool alert = false;  // shown in the indicator's red
};

BannerLine bannerLine(const BannerFacts& facts);

// What a failed transfer was, as the banner says it: "Write failed: I/O error (D2XX status 4)",
// "Frame not sent: device busy". Empty for a frame that went out whole.
std::string sendFailureWords(const SendOutcome& outcome);

}  // namespace stepctl::panel
