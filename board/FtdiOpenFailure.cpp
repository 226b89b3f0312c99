#include "FtdiOpenFailure.h"

#include <libusb.h>

namespace stepctl {
namespace {

// libftdi's return values (ftdi_usb_open_dev, ftdi_usb_get_strings).
constexpr int kFtdiConfigFailed = -3;  // set configuration refused: another driver holds it
constexpr int kFtdiOpenFailed = -4;    // libusb_open failed, for whatever reason
constexpr int kFtdiClaimFailed = -5;   // the interface is claimed by someone else
constexpr int kFtdiNoPermission = -8;  // open_dev: the kernel driver could not be detached

OpenFailure fromLibusb(int error) {
    switch (error) {
        case LIBUSB_ERROR_ACCESS:
            return OpenFailure::AccessDenied;
        case LIBUSB_ERROR_NO_DEVICE:
        case LIBUSB_ERROR_NOT_FOUND:
            return OpenFailure::Absent;
        case LIBUSB_ERROR_BUSY:
            return OpenFailure::Busy;
        default:
            return OpenFailure::Other;
    }
}

}  // namespace

OpenFailure classifyFtdiOpen(int ftdiResult, int libusbOpenError) {
    switch (ftdiResult) {
        case kFtdiOpenFailed:
            return fromLibusb(libusbOpenError);
        case kFtdiNoPermission:
            return OpenFailure::AccessDenied;
        case kFtdiConfigFailed:
        case kFtdiClaimFailed:
            return OpenFailure::Busy;
        default:
            return OpenFailure::Other;
    }
}

OpenFailure classifyFtdiStrings(int ftdiResult, int libusbOpenError) {
    return ftdiResult == kFtdiOpenFailed ? fromLibusb(libusbOpenError) : OpenFailure::Other;
}

}  // namespace stepctl
