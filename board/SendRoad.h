// The Send road after the dB fields have been read: quantise, store the codes in the selection
// state, and hand the plan to the send routine it names. The panel, the CLI, the instrument
// server and the Python module all go through here, so they send the same bits.
#pragma once

#include <optional>
#include <vector>

#include "Exchange.h"
#include "SendPlan.h"

namespace stepctl {

// planSend, with the row, the interface and the codes stored where the handlers store them.
// A caller that shows the codes before the transfer (the panel) writes its fields between
// this and dispatchSend.
SendPlan planAndStore(const SendInputs& in);

// SendControlWord or SendDualControlWord as the plan says; nothing when it sends nothing.
std::optional<SendOutcome> dispatchSend(const SendPlan& plan);

struct SendResult {
    SendPlan plan;
    std::optional<SendOutcome> outcome;  // none when the plan sends nothing
};

// Both steps, for callers with no window to update in between.
SendResult runSend(const SendInputs& in);

// The codes a plan puts into its frame, with their dB values: one, or two for the dual frame.
struct SentLevel {
    int code = 0;
    float db = 0.0f;
};
std::vector<SentLevel> sentLevels(const SendPlan& plan);

}  // namespace stepctl
