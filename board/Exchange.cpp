#include "Exchange.h"

namespace stepctl {

bool probeConnection(BoardLink& link) {
    return probeConnectionStatus(link).ok();
}

LinkStatus probeConnectionStatus(BoardLink& link) {
    LinkStatus opened = link.open();
    if (opened.ok())
        link.close();
    return opened;
}

SendOutcome transferFrame(BoardLink& link, FrameKind kind, const Frame& frame) {
    SendOutcome outcome{SendStatus::Sent, {}, kind, frame};
    const LinkStatus opened = link.open();
    if (!opened.ok()) {
        outcome.status = SendStatus::NoDevice;
        outcome.detail = opened.message;
        return outcome;
    }

    auto fail = [&outcome](const std::string& what, const LinkStatus& status) {
        if (outcome.status != SendStatus::Sent)
            return;  // keep the first cause
        outcome.status = SendStatus::TransferFailed;
        outcome.detail = what + (status.message.empty() ? "" : ": " + status.message);
    };

    if (LinkStatus s = link.setBitMode(kAllPinsOutput, kAsyncBitBang); !s.ok())
        fail("setting bit-bang mode failed", s);
    if (LinkStatus s = link.setBaudRate(kBitBangBaud); !s.ok())
        fail("setting the rate failed", s);

    std::size_t written = 0;
    if (LinkStatus s = link.write(frame, written); !s.ok()) {
        fail("write failed", s);
    } else if (written != frame.size()) {
        fail("short write: " + std::to_string(written) + " of " + std::to_string(frame.size()) +
                 " bytes",
             s);
    }

    if (LinkStatus s = link.close(); !s.ok() && outcome.sent()) {
        // The frame is out; only the release of the device went wrong.
        outcome.detail = "closing the device failed" + (s.message.empty() ? "" : ": " + s.message);
    }
    return outcome;
}

std::string_view statusName(SendStatus status) {
    switch (status) {
        case SendStatus::NoDevice:
            return "no-device";
        case SendStatus::TransferFailed:
            return "transfer-failed";
        case SendStatus::Sent:
            break;
    }
    return "sent";
}

}  // namespace stepctl
