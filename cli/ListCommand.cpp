// stepctl-cli list: the attached FTDI chips, as the chosen driver lists them. Neither driver
// claims a chip to list it, so libftdi leaves the kernel's serial driver bound.
#include <cstdio>
#include <iomanip>

#include "Commands.h"
#include "Report.h"

namespace stepctl::cli {
namespace {

std::string usbId(const ChipEntry& chip) {
    char text[10];
    std::snprintf(text, sizeof text, "%04x:%04x", chip.vendorId & 0xFFFF, chip.productId & 0xFFFF);
    return text;
}

// Where the chip sits: libftdi's bus and address, or D2XX's location id.
std::string whereIs(const ChipEntry& chip) {
    if (chip.locationId) {
        char text[24];
        std::snprintf(text, sizeof text, "location 0x%04x", *chip.locationId);
        return text + std::string(chip.openElsewhere ? " (open elsewhere)" : "");
    }
    return "bus " + std::to_string(chip.bus.value_or(0)) + " address " +
           std::to_string(chip.address.value_or(0));
}

Json entryJson(const ChipEntry& chip, std::string_view driver) {
    Json entry;
    entry["index"] = chip.index;
    entry["serial"] = chip.serial;
    entry["description"] = chip.description;
    if (!chip.locationId)
        entry["manufacturer"] = chip.manufacturer;
    entry["usb_id"] = usbId(chip);
    if (chip.locationId) {
        entry["location"] = *chip.locationId;
        entry["open_elsewhere"] = chip.openElsewhere;
    } else {
        entry["bus"] = chip.bus.value_or(0);
        entry["address"] = chip.address.value_or(0);
    }
    entry["driver"] = driver;
    return entry;
}

}  // namespace

ExitCode runList(const ListOptions& options, const Console& console) {
    const Checked<ChipDriver> driver = chosenDriver(options.driver);
    if (!driver.ok())
        return refuse(console, driver.bad());
    const std::string_view name = chipDriverName(*driver);
    std::string error;
    const std::vector<ChipEntry> chips = listChips(*driver, &error);
    if (!error.empty()) {
        console.error("cannot list USB devices: " + error);
        return ExitCode::NoBoard;
    }
    if (options.json) {
        Json list = Json::array();
        for (const ChipEntry& chip : chips)
            list.push_back(entryJson(chip, name));
        console.out << jsonLine(list) << '\n';
        return ExitCode::Ok;
    }
    if (chips.empty()) {
        console.out << "no FTDI chips found (driver " << name << ")\n";
        return ExitCode::Ok;
    }
    console.out << std::left << std::setw(7) << "index" << std::setw(18) << "serial"
                << std::setw(26) << "description"
                << "usb\n";
    for (const ChipEntry& chip : chips) {
        console.out << std::setw(7) << chip.index << std::setw(18)
                    << (chip.serial.empty() ? "-" : chip.serial) << std::setw(26)
                    << (chip.description.empty() ? "-" : chip.description) << usbId(chip) << ' '
                    << whereIs(chip) << '\n';
    }
    console.out << "listed by driver " << name << '\n';
    return ExitCode::Ok;
}

}  // namespace stepctl::cli
