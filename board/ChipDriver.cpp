#include "ChipDriver.h"

#include "D2xxLink.h"

namespace stepctl {

std::string_view chipDriverName(ChipDriver driver) {
    return driver == ChipDriver::D2xx ? "d2xx" : "ftdi";
}

std::optional<ChipDriver> chipDriverNamed(std::string_view name) {
    if (name == "ftdi")
        return ChipDriver::Ftdi;
    if (name == "d2xx")
        return ChipDriver::D2xx;
    return std::nullopt;
}

std::unique_ptr<BoardLink> makeD2xxLink(const std::optional<std::string>& serial) {
    return serial ? std::make_unique<D2xxLink>(*serial) : std::make_unique<D2xxLink>();
}

std::vector<ChipEntry> listD2xxEntries(std::string* error) {
    std::vector<ChipEntry> entries;
    for (D2xxChipInfo& chip : listD2xxChips(error)) {
        ChipEntry e;
        e.index = chip.index;
        e.vendorId = chip.vendorId;
        e.productId = chip.productId;
        e.serial = std::move(chip.serial);
        e.description = std::move(chip.description);
        e.locationId = chip.locationId;
        e.openElsewhere = chip.openElsewhere;
        entries.push_back(std::move(e));
    }
    return entries;
}

}  // namespace stepctl
