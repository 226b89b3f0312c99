#include "Catalogue.h"

#include <algorithm>
#include <cctype>

namespace stepctl {
namespace {

constexpr InterfaceSet kSerialParallel =
    interfaceBit(Interface::Serial) | interfaceBit(Interface::LatchedParallel);
constexpr InterfaceSet kParallelAddressable =
    interfaceBit(Interface::LatchedParallel) | interfaceBit(Interface::SerialAddressable);
constexpr InterfaceSet kAddressable = interfaceBit(Interface::SerialAddressable);

constexpr std::array<DeviceEntry, kDeviceCount> kCatalogue{{
    {"ZMG-A1", Group::SixBit, kSerialParallel},
    {"ZMG-A2", Group::SixBit, kSerialParallel},
    {"ZMG-A3", Group::SixBit, kSerialParallel},
    {"ZMG-A4", Group::SixBit, kSerialParallel},
    {"ZMG-A5", Group::SixBit, kSerialParallel},
    {"ZMT-A6", Group::SixBit, kSerialParallel},
    {"ZMT-A7", Group::SixBit, kSerialParallel},
    {"ZMT-A8", Group::SixBit, kParallelAddressable},
    {"ZMG-B1", Group::SevenBit, kSerialParallel},
    {"ZMG-B2", Group::SevenBit, kSerialParallel},
    {"ZMT-B3", Group::SevenBit, kSerialParallel},
    {"ZMT-B4/B5", Group::SevenBit, kParallelAddressable},
    {"ZMG-B6", Group::SevenBit, kAddressable},
    {"ZMG-B7", Group::SevenBit, kAddressable},
    {"ZMG-C1", Group::DualSixBit, kSerialParallel},
}};

constexpr GroupTraits kSixBit{6, 1, 63, 0.5, 2.0f, 0};
constexpr GroupTraits kSevenBit{7, 1, 127, 0.25, 4.0f, 1};
constexpr GroupTraits kDualSixBit{6, 2, 63, 0.5, 2.0f, 0};

}  // namespace

Interface interfaceFromIndex(int index) {
    switch (index) {
        case 1:
            return Interface::LatchedParallel;
        case 2:
            return Interface::SerialAddressable;
        default:
            return Interface::Serial;
    }
}

std::string_view interfaceLabel(Interface iface) {
    switch (iface) {
        case Interface::LatchedParallel:
            return "Latched Parallel";
        case Interface::SerialAddressable:
            return "Serial Addressable";
        case Interface::Serial:
            break;
    }
    return "Serial";
}

const GroupTraits& groupTraits(Group group) {
    switch (group) {
        case Group::SixBit:
            return kSixBit;
        case Group::DualSixBit:
            return kDualSixBit;
        case Group::SevenBit:
            break;
    }
    return kSevenBit;
}

std::string_view groupLabel(Group group) {
    switch (group) {
        case Group::SixBit:
            return "6-bit";
        case Group::DualSixBit:
            return "dual 6-bit";
        case Group::SevenBit:
            break;
    }
    return "7-bit";
}

const std::array<DeviceEntry, kDeviceCount>& catalogue() {
    return kCatalogue;
}

bool isCatalogueRow(int row) {
    return row >= 0 && row < kDeviceCount;
}

Group groupOf(int row) {
    return isCatalogueRow(row) ? kCatalogue[static_cast<std::size_t>(row)].group : Group::SevenBit;
}

const GroupTraits& traitsOf(int row) {
    return groupTraits(groupOf(row));
}
int topCode(int row) {
    return traitsOf(row).topCode;
}
double dbPerStep(int row) {
    return traitsOf(row).dbPerStep;
}
float scaleFactor(int row) {
    return traitsOf(row).scale;
}
// One trackbar step is one code step, so the trackbar spans the codes.
int trackbarMax(int row) {
    return topCode(row);
}
int sevenBitFlag(int row) {
    return traitsOf(row).sevenBitFlag;
}

bool offers(int row, Interface iface) {
    return isCatalogueRow(row) &&
           (kCatalogue[static_cast<std::size_t>(row)].offered & interfaceBit(iface)) != 0;
}

std::optional<int> rowByName(std::string_view name) {
    auto sameText = [name](const DeviceEntry& entry) {
        return std::equal(entry.name.begin(), entry.name.end(), name.begin(), name.end(),
                          [](char a, char b) {
                              return std::toupper(static_cast<unsigned char>(a)) ==
                                     std::toupper(static_cast<unsigned char>(b));
                          });
    };
    const auto it = std::find_if(kCatalogue.begin(), kCatalogue.end(), sameText);
    if (it == kCatalogue.end())
        return std::nullopt;
    return static_cast<int>(it - kCatalogue.begin());
}

}  // namespace stepctl
