// Why a chip could not be opened, worded for a lab engineer: a short name for scripts and a
// sentence that says what to do. The FTDI link sorts libftdi's and libusb's codes into reasons.
#pragma once

#include <string>
#include <string_view>

#include "BoardLink.h"

namespace stepctl {

// "absent", "access denied", "busy", "failed" ("" for None).
std::string_view openFailureName(OpenFailure why);

// The reason, what to do about it, and the driver's own words in brackets. Other gives the
// driver's words alone.
std::string explainOpenFailure(OpenFailure why, std::string_view driverWords);

// The reason of a failed open: the link's own where it gave one, else from the code.
OpenFailure openFailureOf(const LinkStatus& status);

// A failed ftdi_usb_open_dev (ftdiResult < 0). libftdi folds every failed libusb_open into -4,
// so `libusbOpenError` is what a second libusb_open of the device gave (0 when not tried).
OpenFailure classifyFtdiOpen(int ftdiResult, int libusbOpenError);

// A failed ftdi_usb_get_strings, likewise: -4 could not open; the rest are failed reads.
OpenFailure classifyFtdiStrings(int ftdiResult, int libusbOpenError);

}  // namespace stepctl
