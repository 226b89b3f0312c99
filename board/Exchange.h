// The two exchanges with the board: the connection probe and the frame transfer. Each opens the
// device, does its one thing and closes it again, so no handle outlives a user action.
#pragma once

#include <string>
#include <string_view>

#include "BoardLink.h"
#include "Frames.h"

namespace stepctl {

// Opens the first device and closes it again; nothing else reaches the chip.
bool probeConnection(BoardLink& link);
// The same probe, with the open's status: why the board did not answer.
LinkStatus probeConnectionStatus(BoardLink& link);

enum class SendStatus {
    Sent,            // all 36 bytes went to the chip
    NoDevice,        // the device could not be opened: nothing was configured or written
    TransferFailed,  // opened, but configuring or writing failed or the write was short
};

struct SendOutcome {
    SendStatus status = SendStatus::Sent;
    std::string detail;  // why it failed, or a note on a close that failed after a full write
    FrameKind kind = FrameKind::Serial6;
    Frame frame{};  // the frame that was built, whether or not it reached the chip

    bool sent() const { return status == SendStatus::Sent; }
};

// The two steps of an exchange on an opened chip, for the panel's transfer and for a held chip.
// Each notes a failure in `outcome`, keeping the first cause, and does not stop what follows.
// Bit-bang mode with every pin an output, and 460800:
void configureBitBang(BoardLink& link, SendOutcome& outcome);
// One write of the whole frame; a failed or short write is a failed transfer:
void writeWholeFrame(BoardLink& link, const Frame& frame, SendOutcome& outcome);

// "sent", "no-device", "transfer-failed", as scripts read them.
std::string_view statusName(SendStatus status);

// Open, bit-bang mode with every pin an output, 460800, one write of the frame, close. As the
// chip expects, a failed mode or rate setting does not stop the write; every failure is
// reported in the outcome, and an opened device is always closed.
SendOutcome transferFrame(BoardLink& link, FrameKind kind, const Frame& frame);

}  // namespace stepctl
