// stepctl-cli devices: the catalogue.
#include <iomanip>

#include "ArgumentRules.h"
#include "Commands.h"
#include "Report.h"
#include "TextFormat.h"

namespace stepctl::cli {
namespace {

std::string bitsText(int row) {
    const GroupTraits& traits = traitsOf(row);
    const std::string bits = std::to_string(traits.codeBits);
    return traits.attenuators > 1 ? std::to_string(traits.attenuators) + "x" + bits : bits;
}

Json interfacesJson(int row) {
    Json list = Json::array();
    for (Interface iface : kInterfaces) {
        if (offers(row, iface))
            list.push_back(std::string(interfaceName(iface)));
    }
    return list;
}

}  // namespace

ExitCode runDevices(const DevicesOptions& options, const Console& console) {
    if (options.json) {
        Json list = Json::array();
        for (int row = 0; row < kDeviceCount; ++row) {
            const GroupTraits& traits = traitsOf(row);
            Json entry;
            entry["row"] = row;
            entry["name"] = std::string(catalogue()[static_cast<std::size_t>(row)].name);
            entry["group"] = std::string(groupLabel(groupOf(row)));
            entry["bits"] = traits.codeBits;
            entry["attenuators"] = traits.attenuators;
            entry["step_db"] = traits.dbPerStep;
            entry["top_code"] = traits.topCode;
            entry["top_db"] = topDb(row);
            entry["interfaces"] = interfacesJson(row);
            list.push_back(entry);
        }
        console.out << jsonLine(list) << '\n';
        return ExitCode::Ok;
    }
    std::ostream& out = console.out;
    out << std::left << std::setw(5) << "row" << std::setw(11) << "name" << std::setw(12) << "group"
        << std::setw(6) << "bits" << std::setw(9) << "step" << std::setw(10) << "top"
        << "interfaces\n";
    for (int row = 0; row < kDeviceCount; ++row) {
        out << std::right << std::setw(3) << row << "  " << std::left << std::setw(11)
            << catalogue()[static_cast<std::size_t>(row)].name << std::setw(12)
            << groupLabel(groupOf(row)) << std::setw(6) << bitsText(row) << std::setw(9)
            << formatDb(static_cast<float>(dbPerStep(row))) + " dB" << std::setw(10)
            << formatDb(topDb(row)) + " dB" << offeredInterfaces(row) << '\n';
    }
    return ExitCode::Ok;
}

}  // namespace stepctl::cli
