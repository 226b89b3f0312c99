#include "HeldLink.h"

namespace stepctl::session {

SendOutcome HeldLink::write(FrameKind kind, const Frame& frame) {
    SendOutcome outcome{SendStatus::Sent, {}, kind, frame};
    if (!open_) {
        const LinkStatus opened = link_.open();
        if (!opened.ok()) {
            outcome.status = SendStatus::NoDevice;
            outcome.detail = opened.message;
            return outcome;
        }
        open_ = true;
        configureBitBang(link_, outcome);
    }
    writeWholeFrame(link_, frame, outcome);
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
