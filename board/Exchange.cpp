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

namespace {

void noteFailure(SendOutcome& outcome, const std::string& what, const LinkStatus& status) {
    if (outcome.status != SendStatus::Sent)
        return;  // keep the first cause
    outcome.status = SendStatus::TransferFailed;
    outcome.detail = what + (status.message.empty() ? "" : ": " + status.message);
}

}  // namespace

void configureBitBang(BoardLink& link, SendOutcome& outcome) {
    if (LinkStatus s = link.setBitMode(kAllPinsOutput, kAsyncBitBang); !s.ok())
        noteFailure(outcome, "setting bit-bang mode failed", s);
    if (LinkStatus s = link.setBaudRate(kBitBangBaud); !s.ok())
        noteFailure(outcome, "setting the rate failed", s);
}

void writeWholeFrame(BoardLink& link, const Frame& frame, SendOutcome& outcome) {
    std::size_t written = 0;
    if (LinkStatus s = link.write(frame, written); !s.ok()) {
        noteFailure(outcome, "write failed", s);
    } else if (written != frame.size()) {
        noteFailure(outcome,
                    "short write: " + std::to_string(written) + " of " +
                        std::to_string(frame.size()) + " bytes",
                    s);
    }
}

SendOutcome transferFrame(BoardLink& link, FrameKind kind, const Frame& frame) {
    SendOutcome outcome{SendStatus::Sent, {}, kind, frame};
    const LinkStatus opened = link.open();
    if (!opened.ok()) {
        outcome.status = SendStatus::NoDevice;
        outcome.detail = opened.message;
        return outcome;
    }

    configureBitBang(link, outcome);
    writeWholeFrame(link, frame, outcome);

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
