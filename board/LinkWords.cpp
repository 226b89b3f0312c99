#include "LinkWords.h"

#include <algorithm>
#include <cctype>

#include "OpenFailure.h"

namespace stepctl {
namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool mentions(const std::string& text, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(),
                       [&](const char* w) { return text.find(w) != std::string::npos; });
}

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
    // A link that can tell why (the FTDI link asks libusb) has worded it already.
    if (status.why == OpenFailure::AccessDenied || status.why == OpenFailure::Busy)
        return status.message;
    const std::string said = lower(status.message);
    if (mentions(said, {"permission", "access denied", "not permitted", "eacces"})) {
        return "access denied: this user may not open the chip. Install StepCtl's udev rule "
               "(the package puts it in /usr/lib/udev/rules.d; from the sources, see "
               "udev/README.md), "
               "then unplug the board "
               "and plug it in again" +
               driverWords(status);
    }
    if (mentions(said, {"busy", "unable to claim", "in use"})) {
        return "busy: the chip is in use by another program (or by the kernel's serial "
               "driver). Close that program, or pick the board's own chip in the Board menu" +
               driverWords(status);
    }
    if (status.code == LinkCode::DeviceNotFound) {
        if (mentions(said, {"libusb"}))
            return "the USB library could not look for chips" + driverWords(status);
        if (mentions(said, {"serial number"}))
            return status.message;
        return "no FTDI chip is attached. Plug the board in; the next Send looks again";
    }
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
