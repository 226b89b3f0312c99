#include "SendPlan.h"

#include "Catalogue.h"
#include "DbCode.h"

namespace stepctl {

bool isAddress(int address) {
    return address >= 0 && address < kAddressCount;
}

std::int32_t addressedControlWord(int address, int code) {
    return address * 256 + code;
}

SendPlan planSend(const SendInputs& in) {
    SendPlan plan;
    const float typed1 = parseDb(in.text1);
    const float typed2 = parseDb(in.text2);

    plan.code1 = codeFromDb(in.row, typed1);
    plan.db1 = dbFromCode(in.row, plan.code1);
    if (groupOf(in.row) == Group::DualSixBit) {
        plan.code2 = codeFromDb(in.row, typed2);
        plan.db2 = dbFromCode(in.row, *plan.code2);
    } else {
        plan.db2 = typed2;  // shown back as typed, neither quantised nor clamped
    }

    if (interfaceFromIndex(in.interface) == Interface::SerialAddressable) {
        // An index outside 0..7 would put the bits of an address nobody chose on the bus
        // (-1 reads as address 7), so nothing is sent then.
        if (isAddress(in.addressIndex)) {
            plan.dispatch = Dispatch::Single;
            plan.controlWord = addressedControlWord(in.addressIndex, plan.code1);
        } else {
            plan.dispatch = Dispatch::None;
        }
    } else if (plan.code2) {
        plan.dispatch = Dispatch::Dual;
    } else {
        plan.dispatch = Dispatch::Single;
        plan.controlWord = plan.code1;
    }
    return plan;
}

}  // namespace stepctl
