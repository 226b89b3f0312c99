#include "HeldLink.h"

namespace stepctl::session {

SendOutcome HeldLink::write(FrameKind kind, const Frame& frame) {
    SendOutcome outcome{SendStatus::Sent, {}, kind, frame};
    auto fail = [&outcome](const std::string& what, const LinkStatus& status) {
        if (outcome.status != SendStatus::Sent)
            return;  // keep the first cause
        outcome.status = SendStatus::TransferFailed;
        outcome.detail = what + (status.message.empty() ? "" : ": " + status.message);
    };

    if (!open_) {
        const LinkStatus opened = link_.open();
        if (!opened.ok()) {
            outcome.status = SendStatus::NoDevice;
            outcome.detail = opened.message;
            return outcome;
        }
        open_ = true;
        if (LinkStatus s = link_.setBitMode(kAllPinsOutput, kAsyncBitBang); !s.ok())
            fail("setting bit-bang mode failed", s);
        if (LinkStatus s = link_.setBaudRate(kBitBangBaud); !s.ok())
            fail("setting the rate failed", s);
    }

    std::size_t written = 0;
    if (LinkStatus s = link_.write(frame, written); !s.ok()) {
        fail("write failed", s);
    } else if (written != frame.size()) {
        fail("short write: " + std::to_string(written) + " of " + std::to_string(frame.size()) +
                 " bytes",
             s);
    }
    if (!outcome.sent())
        release();  // configured or written wrongly: start afresh next time
    return outcome;
}

LinkStatus HeldLink::probe() {
    if (open_)
        return LinkStatus::success();
    return probeConnectionStatus(link_);
}

LinkStatus HeldLink::release() {
    if (!open_)
        return LinkStatus::success();
    open_ = false;
    return link_.close();
}

}  // namespace stepctl::session
