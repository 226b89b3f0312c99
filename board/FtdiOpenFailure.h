// The FTDI link's reasons for a failed open, sorted from libftdi's and libusb's codes.
#pragma once

#include "OpenFailure.h"

namespace stepctl {

// A failed ftdi_usb_open_dev (ftdiResult < 0). libftdi folds every failed libusb_open into -4,
// so `libusbOpenError` is what a second libusb_open of the device gave (0 when not tried).
OpenFailure classifyFtdiOpen(int ftdiResult, int libusbOpenError);

// A failed ftdi_usb_get_strings, likewise: -4 could not open; the rest are failed reads.
OpenFailure classifyFtdiStrings(int ftdiResult, int libusbOpenError);

}  // namespace stepctl
