// The panel's Send for a checked request: the selection state is set as the panel's handlers
// set it, planSend quantises and picks the routine, and SendControlWord or SendDualControlWord
// runs the exchange over the installed board link.
#pragma once

#include <optional>
#include <vector>

#include "Exchange.h"
#include "SendPlan.h"
#include "SendRequest.h"

namespace stepctl::cli {

struct SendResult {
    SendPlan plan;
    std::optional<SendOutcome> outcome;  // none when the plan sends nothing
};

SendResult runPanelSend(const SendRequest& request);

// The codes a plan puts into its frame, with their dB values: one, or two for the dual frame.
struct SentLevel {
    int code = 0;
    float db = 0.0f;
};
std::vector<SentLevel> sentLevels(const SendPlan& plan);

}  // namespace stepctl::cli
