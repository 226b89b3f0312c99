// The drivers a link to the FTDI chip can go through: libftdi1 (the default on Linux) or FTDI's
// own D2XX library (the default on Windows, where libftdi is not built). Which drivers a build
// has is fixed by the platform source CMake picks.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "BoardLink.h"

namespace stepctl {

enum class ChipDriver { Ftdi, D2xx };

// "ftdi" or "d2xx", as the command line names them.
std::string_view chipDriverName(ChipDriver driver);
std::optional<ChipDriver> chipDriverNamed(std::string_view name);

ChipDriver defaultChipDriver();
bool chipDriverBuilt(ChipDriver driver);

// A link to the first chip the driver lists, or to the one with this serial number. Only for
// a driver this build has.
std::unique_ptr<BoardLink> makeChipLink(ChipDriver driver,
                                        const std::optional<std::string>& serial = std::nullopt);

// One attached chip as either driver lists it.
struct ChipEntry {
    int index = 0;  // 0 is the chip the panel uses
    int vendorId = 0;
    int productId = 0;
    std::string serial;
    std::string description;
    std::string manufacturer;            // libftdi only
    std::optional<int> bus, address;     // libftdi only
    std::optional<unsigned> locationId;  // D2XX only
    bool openElsewhere = false;          // D2XX only: another program holds it
};

// The attached chips, in the driver's order; on failure `error` says why.
std::vector<ChipEntry> listChips(ChipDriver driver, std::string* error = nullptr);

// What both platform sources share: the D2XX road.
std::unique_ptr<BoardLink> makeD2xxLink(const std::optional<std::string>& serial);
std::vector<ChipEntry> listD2xxEntries(std::string* error);

}  // namespace stepctl
