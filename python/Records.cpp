#include "Records.h"

#include "DbCode.h"
#include "SendRequest.h"

namespace stepctl::python {

std::vector<Device> devices() {
    std::vector<Device> list;
    for (int row = 0; row < kDeviceCount; ++row) {
        const DeviceEntry& entry = catalogue()[static_cast<std::size_t>(row)];
        Device device{row,
                      std::string(entry.name),
                      std::string(groupLabel(entry.group)),
                      traitsOf(row).codeBits,
                      dbPerStep(row),
                      session::topDb(row),
                      {}};
        for (Interface iface : kInterfaces) {
            if (offers(row, iface))
                device.interfaces.push_back(iface);
        }
        list.push_back(std::move(device));
    }
    return list;
}

Plan planOf(const session::SendRequest& request, const SendResult& result,
            std::vector<std::string> warnings) {
    Plan plan;
    plan.device = std::string(catalogue()[static_cast<std::size_t>(request.row)].name);
    plan.row = request.row;
    plan.interface = request.iface;
    if (request.iface == Interface::SerialAddressable)
        plan.address = request.address;
    for (const SentLevel& level : sentLevels(result.plan)) {
        plan.codes.push_back(level.code);
        plan.db.push_back(level.db);
    }
    const SendOutcome& outcome = *result.outcome;  // a checked request always dispatches
    plan.kind = std::string(frameKindName(outcome.kind));
    plan.frame = outcome.frame;
    plan.warnings = std::move(warnings);
    return plan;
}

Sent sentOf(const session::SendRequest& request, const SendResult& result,
            std::vector<std::string> warnings, const std::string& board) {
    Sent sent;
    static_cast<Plan&>(sent) = planOf(request, result, std::move(warnings));
    sent.board = board;
    sent.status = std::string(statusName(result.outcome->status));
    sent.detail = result.outcome->detail;
    return sent;
}

}  // namespace stepctl::python
