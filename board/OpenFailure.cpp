#include "OpenFailure.h"

namespace stepctl {

std::string_view openFailureName(OpenFailure why) {
    switch (why) {
        case OpenFailure::Absent:
            return "absent";
        case OpenFailure::AccessDenied:
            return "access denied";
        case OpenFailure::Busy:
            return "busy";
        case OpenFailure::NoUsb:
            return "no usb";
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
            text = "absent: the chip is not attached; plug the board in, the next Send looks again";
            break;
        case OpenFailure::AccessDenied:
            text =
                "access denied: this user may not open the chip; install the stepctl package's "
                "udev rules (see udev/README.md) and replug the board, or join the plugdev group";
            break;
        case OpenFailure::Busy:
            text = "busy: the chip is in use by another program";
            break;
        case OpenFailure::NoUsb:
            text = "the USB library could not look for chips";
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

}  // namespace stepctl
