#include "SendRoad.h"

#include "SelectionState.h"
#include "SendRoutines.h"

namespace stepctl::cli {

SendResult runPanelSend(const SendRequest& request) {
    // What the device list and the interface radios would have stored.
    g_nDeviceIndex = request.row;
    g_nInterface = static_cast<int>(request.iface);

    SendResult result;
    result.plan =
        planSend({request.row, g_nInterface, request.address, request.text1, request.text2});
    g_nAttenCode = result.plan.code1;
    if (result.plan.code2)
        g_nAttenCode2 = *result.plan.code2;

    switch (result.plan.dispatch) {
        case Dispatch::Single:
            result.outcome = SendControlWord(result.plan.controlWord);
            break;
        case Dispatch::Dual:
            result.outcome = SendDualControlWord(result.plan.code1, *result.plan.code2);
            break;
        case Dispatch::None:
            break;
    }
    return result;
}

std::vector<SentLevel> sentLevels(const SendPlan& plan) {
    std::vector<SentLevel> levels{{plan.code1, plan.db1}};
    if (plan.dispatch == Dispatch::Dual)
        levels.push_back({*plan.code2, plan.db2});
    return levels;
}

}  // namespace stepctl::cli
