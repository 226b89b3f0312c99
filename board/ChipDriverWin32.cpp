// Windows: D2XX only, the driver Windows installs for an FTDI chip; libftdi is not built here.
#include "ChipDriver.h"

namespace stepctl {

ChipDriver defaultChipDriver() {
    return ChipDriver::D2xx;
}

bool chipDriverBuilt(ChipDriver driver) {
    return driver == ChipDriver::D2xx;
}

std::unique_ptr<BoardLink> makeChipLink(ChipDriver, const std::optional<std::string>& serial) {
    return makeD2xxLink(serial);
}

std::vector<ChipEntry> listChips(ChipDriver, std::string* error) {
    return listD2xxEntries(error);
}

}  // namespace stepctl
