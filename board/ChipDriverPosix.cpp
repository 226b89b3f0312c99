// Linux: libftdi1 by default, D2XX for those who installed FTDI's library.
#include "ChipDriver.h"
#include "FtdiLink.h"

namespace stepctl {

ChipDriver defaultChipDriver() {
    return ChipDriver::Ftdi;
}

bool chipDriverBuilt(ChipDriver) {
    return true;
}

std::unique_ptr<BoardLink> makeChipLink(ChipDriver driver,
                                        const std::optional<std::string>& serial) {
    if (driver == ChipDriver::D2xx)
        return makeD2xxLink(serial);
    return serial ? std::make_unique<FtdiLink>(*serial) : std::make_unique<FtdiLink>();
}

std::vector<ChipEntry> listChips(ChipDriver driver, std::string* error) {
    if (driver == ChipDriver::D2xx)
        return listD2xxEntries(error);
    std::vector<ChipEntry> entries;
    for (FtdiChipInfo& chip : listFtdiChips(error)) {
        ChipEntry e;
        e.index = chip.index;
        e.vendorId = chip.vendorId;
        e.productId = chip.productId;
        e.serial = std::move(chip.serial);
        e.description = std::move(chip.description);
        e.manufacturer = std::move(chip.manufacturer);
        e.bus = chip.bus;
        e.address = chip.address;
        entries.push_back(std::move(e));
    }
    return entries;
}

}  // namespace stepctl
