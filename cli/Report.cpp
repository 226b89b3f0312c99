#include "Report.h"

#include "ArgumentRules.h"
#include "SendRoad.h"
#include "TextFormat.h"

namespace stepctl::cli {

std::string jsonLine(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

ExitCode exitCodeOf(SendStatus status) {
    switch (status) {
        case SendStatus::NoDevice:
            return ExitCode::NoBoard;
        case SendStatus::TransferFailed:
            return ExitCode::TransferFailed;
        case SendStatus::Sent:
            break;
    }
    return ExitCode::Ok;
}

std::string describeTarget(const SendRequest& request) {
    std::string text = deviceLabel(request.row);
    if (request.iface == Interface::SerialAddressable)
        text += " at address " + std::to_string(request.address);
    return text + " over " + std::string(interfaceName(request.iface));
}

std::string describeLevels(const SendPlan& plan) {
    const auto levels = sentLevels(plan);
    auto one = [](const SentLevel& l) {
        return formatCode(l.code) + " (" + formatDb(l.db) + " dB)";
    };
    if (levels.size() == 1)
        return "code " + one(levels[0]);
    return "codes " + one(levels[0]) + " and " + one(levels[1]);
}

Json targetJson(const SendRequest& request) {
    Json json;
    json["device"] = std::string(catalogue()[static_cast<std::size_t>(request.row)].name);
    json["row"] = request.row;
    json["interface"] = std::string(interfaceName(request.iface));
    json["address"] =
        request.iface == Interface::SerialAddressable ? Json(request.address) : Json(nullptr);
    return json;
}

void addLevels(Json& json, const SendPlan& plan) {
    Json codes = Json::array();
    Json db = Json::array();
    for (const SentLevel& level : sentLevels(plan)) {
        codes.push_back(level.code);
        db.push_back(level.db);  // multiples of 0.25: exact in any JSON reader
    }
    json["codes"] = codes;
    json["db"] = db;
}

Json latchedJson(const SimulatedBoard& board) {
    Json list = Json::array();
    for (const SimulatedAttenuator& attenuator : board.attenuators()) {
        Json entry;
        entry["attenuator"] = attenuator.setup().label;
        entry["code"] = attenuator.code() ? Json(*attenuator.code()) : Json(nullptr);
        entry["db"] = attenuator.code() ? Json(attenuator.db()) : Json(nullptr);
        list.push_back(entry);
    }
    return list;
}

}  // namespace stepctl::cli
