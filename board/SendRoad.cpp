#include "SendRoad.h"

#include "SelectionState.h"
#include "SendRoutines.h"

namespace stepctl {

SendPlan planAndStore(const SendInputs& in) {
    // What the device list and the interface radios would have stored.
    g_nDeviceIndex = in.row;
    g_nInterface = in.interface;

    const SendPlan plan = planSend(in);
    g_nAttenCode = plan.code1;
    if (plan.code2)
        g_nAttenCode2 = *plan.code2;
    return plan;
}

std::optional<SendOutcome> dispatchSend(const SendPlan& plan) {
    switch (plan.dispatch) {
        case Dispatch::Single:
            return SendControlWord(plan.controlWord);
        case Dispatch::Dual:
            return SendDualControlWord(plan.code1, *plan.code2);
        case Dispatch::None:
            break;  // Serial Addressable without a selected address: nobody to send to
    }
    return std::nullopt;
}

SendResult runSend(const SendInputs& in) {
    SendResult result;
    result.plan = planAndStore(in);
    result.outcome = dispatchSend(result.plan);
    return result;
}

std::vector<SentLevel> sentLevels(const SendPlan& plan) {
    std::vector<SentLevel> levels{{plan.code1, plan.db1}};
    if (plan.dispatch == Dispatch::Dual)
        levels.push_back({*plan.code2, plan.db2});
    return levels;
}

}  // namespace stepctl
