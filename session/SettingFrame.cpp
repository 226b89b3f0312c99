#include "SettingFrame.h"

namespace stepctl::session {

std::optional<SettingFrame> frameForPlan(int row, Interface iface, const SendPlan& plan) {
    switch (plan.dispatch) {
        case Dispatch::Single: {
            // The word width the single-device send routine takes from the row.
            const bool sevenBit = sevenBitFlag(row) != 0;
            return SettingFrame{singleFrameKind(iface, sevenBit),
                                buildControlFrame(iface, sevenBit, plan.controlWord)};
        }
        case Dispatch::Dual:
            return SettingFrame{FrameKind::Dual, buildDualFrame(plan.code1, *plan.code2)};
        case Dispatch::None:
            break;
    }
    return std::nullopt;
}

}  // namespace stepctl::session
