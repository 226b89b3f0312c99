#include "SendRequest.h"

#include "ArgumentRules.h"
#include "DbCode.h"
#include "TextFormat.h"

namespace stepctl::session {

SendInputs sendInputs(const SendRequest& request) {
    return {request.row, static_cast<int>(request.iface), request.address, request.text1,
            request.text2};
}

std::string deviceLabel(int row) {
    return std::string(catalogue()[static_cast<std::size_t>(row)].name) + " (row " +
           std::to_string(row) + ")";
}

float topDb(int row) {
    return dbFromCode(row, topCode(row));
}

bool sendsBothCodes(int row, Interface iface) {
    return groupOf(row) == Group::DualSixBit && iface != Interface::SerialAddressable;
}

Checked<float> readLevel(std::string_view option, std::string_view text, int row,
                         Warnings& warnings) {
    Checked<float> db = readDb(option, text);
    if (!db.ok())
        return db;
    const std::string typed = std::string(option) + " " + std::string(text);
    if (*db < 0.0f) {
        warnings.push_back(typed + " is below 0 dB: clamped to 0.00 dB");
    } else if (*db > topDb(row)) {
        warnings.push_back(typed + " is above the top of " + deviceLabel(row) + ": clamped to " +
                           formatDb(topDb(row)) + " dB");
    }
    return db;
}

Checked<SendRequest> readTarget(const TargetText& typed, Warnings& warnings) {
    SendRequest request;
    const Checked<int> row = readDevice(typed.device);
    if (!row.ok())
        return row.bad();
    request.row = *row;
    const Checked<Interface> iface = readInterface(typed.interface);
    if (!iface.ok())
        return iface.bad();
    request.iface = *iface;
    const std::string device = deviceLabel(request.row);

    if (typed.address) {
        const Checked<long long> address = readWholeNumber("--address", *typed.address, 0, 7);
        if (!address.ok())
            return address.bad();
        request.address = static_cast<int>(*address);
    }
    if (request.iface == Interface::SerialAddressable && !typed.address)
        return BadArgument{"--address 0..7 is required with --interface addressable"};
    if (request.iface != Interface::SerialAddressable && typed.address)
        warnings.push_back("--address is ignored without --interface addressable");

    if (!offers(request.row, request.iface)) {
        warnings.push_back(device + " does not offer " + std::string(interfaceName(request.iface)) +
                           " (it offers " + offeredInterfaces(request.row) +
                           "); sending anyway, as the panel does");
    }

    if (typed.db2) {
        // Checked strictly even where it goes nowhere: a typo is a typo.
        const bool sent = sendsBothCodes(request.row, request.iface);
        const Checked<float> db2 = sent ? readLevel("--db2", *typed.db2, request.row, warnings)
                                        : readDb("--db2", *typed.db2);
        if (!db2.ok())
            return db2.bad();
        request.text2 = *typed.db2;
        if (!sent) {
            warnings.push_back(groupOf(request.row) == Group::DualSixBit
                                   ? "--db2 is not sent: with addressable only the first "
                                     "attenuator's code goes out"
                                   : "--db2 is ignored: " + device + " has one attenuator");
        }
    } else if (sendsBothCodes(request.row, request.iface)) {
        return BadArgument{"--db2 is required: " + device + " has two attenuators"};
    }
    return request;
}

Checked<SendRequest> readSendRequest(const TargetText& typed, const std::string& db,
                                     Warnings& warnings) {
    Checked<SendRequest> request = readTarget(typed, warnings);
    if (!request.ok())
        return request;
    const Checked<float> level = readLevel("--db", db, request->row, warnings);
    if (!level.ok())
        return level.bad();
    SendRequest filled = *request;
    filled.text1 = db;
    return filled;
}

}  // namespace stepctl::session
