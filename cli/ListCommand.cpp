// stepctl-cli list: the attached FTDI chips. listFtdiChips reads their strings without claiming
// them, so the kernel's serial driver stays bound to every chip.
#include <cstdio>
#include <iomanip>

#include "Commands.h"
#include "FtdiLink.h"
#include "OpenFailure.h"
#include "Report.h"

namespace stepctl::cli {
namespace {

std::string usbId(const FtdiChipInfo& chip) {
    char text[10];
    std::snprintf(text, sizeof text, "%04x:%04x", chip.vendorId & 0xFFFF, chip.productId & 0xFFFF);
    return text;
}

}  // namespace

ExitCode runList(const ListOptions& options, const Console& console) {
    std::string error;
    const std::vector<FtdiChipInfo> chips = listFtdiChips(&error);
    if (!error.empty()) {
        console.error("cannot list USB devices: " + error);
        return ExitCode::NoBoard;
    }
    if (options.json) {
        Json list = Json::array();
        for (const FtdiChipInfo& chip : chips) {
            Json entry;
            entry["index"] = chip.index;
            entry["serial"] = chip.serial;
            entry["description"] = chip.description;
            entry["manufacturer"] = chip.manufacturer;
            entry["usb_id"] = usbId(chip);
            entry["bus"] = chip.bus;
            entry["address"] = chip.address;
            if (!chip.stringError.empty()) {
                entry["strings_unreadable"] = std::string(openFailureName(chip.stringFailure));
                entry["strings_error"] = chip.stringError;
            }
            list.push_back(entry);
        }
        console.out << jsonLine(list) << '\n';
        return ExitCode::Ok;
    }
    if (chips.empty()) {
        console.out << "no FTDI chips found\n";
        return ExitCode::Ok;
    }
    console.out << std::left << std::setw(7) << "index" << std::setw(18) << "serial"
                << std::setw(26) << "description"
                << "usb\n";
    for (const FtdiChipInfo& chip : chips) {
        // Unread strings say so in their columns, and why on the line below.
        const bool unread = !chip.stringError.empty();
        const std::string unreadable = "(" + std::string(openFailureName(chip.stringFailure)) + ")";
        console.out << std::setw(7) << chip.index << std::setw(18)
                    << (unread                ? unreadable
                        : chip.serial.empty() ? "-"
                                              : chip.serial)
                    << std::setw(26)
                    << (unread                     ? "(unreadable)"
                        : chip.description.empty() ? "-"
                                                   : chip.description)
                    << usbId(chip) << " bus " << chip.bus << " address " << chip.address << '\n';
        if (unread)
            console.out << std::setw(7) << ""
                        << "strings not read: " << chip.stringError << '\n';
    }
    return ExitCode::Ok;
}

}  // namespace stepctl::cli
