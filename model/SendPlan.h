// What one Send computes from the typed values: the codes, the dB values to show back, and
// which send routine gets what. Pure: the caller reads the widgets and writes the results.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace stepctl {

struct SendInputs {
    int row = 0;             // g_nDeviceIndex
    int interface = 0;       // g_nInterface
    int addressIndex = 0;    // selected entry of the address list, -1 when none is selected
    std::string_view text1;  // first dB field as typed
    std::string_view text2;  // second dB field as typed (read on every row)
};

enum class Dispatch {
    Single,  // SendControlWord(controlWord)
    Dual,    // SendDualControlWord(code1, *code2)
    None,    // Serial Addressable with no address selected: nothing goes to the board
};

struct SendPlan {
    int code1 = 0;
    float db1 = 0.0f;          // shown in the first dB field
    std::optional<int> code2;  // the dual device only; shown in the second state field
    float db2 = 0.0f;          // shown in the second dB field (as typed off the dual row)
    Dispatch dispatch = Dispatch::Single;
    std::int32_t controlWord = 0;  // for Dispatch::Single
};

inline constexpr int kAddressCount = 8;

bool isAddress(int address);

// Serial Addressable control word: the code in bits 0..7, the address in bits 8..10.
std::int32_t addressedControlWord(int address, int code);

SendPlan planSend(const SendInputs& in);

}  // namespace stepctl
