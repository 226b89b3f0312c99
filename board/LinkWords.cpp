#include "LinkWords.h"

#include "OpenFailure.h"

namespace stepctl {
namespace {

std::string opName(LinkOp op) {
    switch (op) {
        case LinkOp::Open:
            return "opening the chip";
        case LinkOp::SetBitMode:
            return "setting bit-bang mode";
        case LinkOp::SetBaudRate:
            return "setting the rate";
        case LinkOp::Write:
            return "writing the frame";
        case LinkOp::Close:
            return "closing the chip";
    }
    return "a call to the chip";
}

std::string driverWords(const LinkStatus& status) {
    return status.message.empty() ? std::string() : " (the driver says: " + status.message + ")";
}

}  // namespace

std::string openFailureWords(const LinkStatus& status) {
    // Sorted by the reason the link gave, else by its code; never by the driver's words.
    const OpenFailure why = openFailureOf(status);
    switch (why) {
        case OpenFailure::Absent:
            // The link's words say which chip was looked for ("with serial number X1").
            return explainOpenFailure(why, status.message);
        case OpenFailure::AccessDenied:
        case OpenFailure::Busy:
        case OpenFailure::NoUsb:
            // Only a link that can tell these gives them, and it words them (explainOpenFailure).
            return status.message;
        case OpenFailure::None:
        case OpenFailure::Other:
            break;
    }
    if (status.code == LinkCode::DriverMissing)
        return status.message;  // "the FTDI D2XX driver (ftd2xx.dll) is not installed"
    return "the chip could not be opened" + driverWords(status);
}

std::string exchangeWords(const std::optional<ExchangeRecord>& last) {
    if (!last)
        return "No exchange with the board yet.";
    const std::string with =
        "Last exchange: " + (last->device.empty() ? std::string("the board link") : last->device);
    if (!last->open.ok())
        return with + ".\nNot connected: " + openFailureWords(last->open) + ".";
    if (last->failedOp) {
        return with + ".\nThe chip was opened, but " + opName(*last->failedOp) + " failed" +
               driverWords(last->failure) + ".";
    }
    if (last->shortWrite)
        return with + ".\nThe chip took only part of the frame.";
    return with + ".\nConnected: the chip answered.";
}

}  // namespace stepctl
