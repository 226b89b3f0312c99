// Why a chip could not be opened, worded for a lab engineer: a short name for scripts and a
// sentence that says what to do. The FTDI link sorts libftdi's and libusb's codes into reasons.
#pragma once

#include <string>
#include <string_view>

#include "BoardLink.h"

namespace stepctl {

// "absent", "access denied", "busy", "no usb", "failed" ("" for None).
std::string_view openFailureName(OpenFailure why);

// The reason, what to do about it, and the driver's own words in brackets. Other gives the
// driver's words alone.
std::string explainOpenFailure(OpenFailure why, std::string_view driverWords);

// The reason of a failed open: the link's own where it gave one, else from the code.
OpenFailure openFailureOf(const LinkStatus& status);

}  // namespace stepctl
