#include "OpenFailure.h"

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

std::string_view openFailureName(OpenFailure why) {
    switch (why) {
        case OpenFailure::Absent:
            return "absent";
        case OpenFailure::AccessDenied:
            return "access denied";
        case OpenFailure::Busy:
            return "busy";
        case OpenFailure::Other:
            return "failed";
        case OpenFailure::None:
            break;
    }
    return "";
}

std::string explainOpenFailure(OpenFailure why, std::string_view driverWords) {
    std::string text;
    switch (why) {
        case OpenFailure::Absent:
            text = "absent: the chip is not attached any more";
            break;
        case OpenFailure::AccessDenied:
            text =
                "access denied: this user may not open the chip; install the stepctl package's "
                "udev rules (see udev/README.md) and replug the board, or join the plugdev group";
            break;
        case OpenFailure::Busy:
            text = "busy: the chip is in use by another program";
            break;
        case OpenFailure::None:
        case OpenFailure::Other:
            return std::string(driverWords);
    }
    if (!driverWords.empty())
        text += " (" + std::string(driverWords) + ")";
    return text;
}

OpenFailure openFailureOf(const LinkStatus& status) {
    if (status.ok())
        return OpenFailure::None;
    if (status.why != OpenFailure::None)
        return status.why;
    return status.code == LinkCode::DeviceNotFound ? OpenFailure::Absent : OpenFailure::Other;
}

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
