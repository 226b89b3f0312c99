// The fixed catalogue of supported devices and every quantity that depends on the row.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace stepctl {

// How the PC talks to the device. The values are those stored in g_nInterface.
enum class Interface : int { Serial = 0, LatchedParallel = 1, SerialAddressable = 2 };

inline constexpr std::array<Interface, 3> kInterfaces{Interface::Serial, Interface::LatchedParallel,
                                                      Interface::SerialAddressable};

// g_nInterface holds a plain int; anything but 1 or 2 counts as Serial, the start-up value.
Interface interfaceFromIndex(int index);

// The radio-button text of an interface ("Serial", "Latched Parallel", "Serial Addressable").
std::string_view interfaceLabel(Interface iface);

enum class Group { SixBit, SevenBit, DualSixBit };

// Everything a group fixes. One attenuator step is one code step.
struct GroupTraits {
    int codeBits;      // width of each code: 6 or 7
    int attenuators;   // 1, or 2 for the dual device
    int topCode;       // 63 or 127
    double dbPerStep;  // 0.5 or 0.25
    float scale;       // dB to code: 2 or 4
    int sevenBitFlag;  // value of g_bSevenBit for the single-device frame
};

const GroupTraits& groupTraits(Group group);
std::string_view groupLabel(Group group);  // "6-bit", "7-bit", "dual 6-bit"

using InterfaceSet = unsigned;
constexpr InterfaceSet interfaceBit(Interface iface) {
    return 1u << static_cast<int>(iface);
}

struct DeviceEntry {
    std::string_view name;  // the text shown in the device list
    Group group;
    InterfaceSet offered;
};

inline constexpr int kDeviceCount = 15;
inline constexpr int kDualRow = 14;

const std::array<DeviceEntry, kDeviceCount>& catalogue();

bool isCatalogueRow(int row);

// Row-dependent quantities. A row outside 0..14 (no entry selected) falls into the 7-bit group,
// matching the trackbar rule "rows 0..7 and 14 give 0..63, anything else 0..127", and offers no
// interface.
Group groupOf(int row);
const GroupTraits& traitsOf(int row);
int topCode(int row);
double dbPerStep(int row);
float scaleFactor(int row);
int trackbarMax(int row);
int sevenBitFlag(int row);
bool offers(int row, Interface iface);

// Row of a catalogue name, compared without regard to case.
std::optional<int> rowByName(std::string_view name);

}  // namespace stepctl
