// The process-wide selection state shared by the panel's handlers, the Send road and the
// frame builders. Everything starts at zero (the text empty) and nothing is ever saved.
#pragma once

#include <cstdint>
#include <string>

extern std::int32_t g_nDeviceIndex;  // catalogue row 0..14
extern std::int32_t g_nInterface;    // 0 Serial, 1 Latched Parallel, 2 Serial Addressable
extern std::int32_t g_bSevenBit;     // word width of the last single-device frame: 0 = 6, 1 = 7
extern std::int32_t g_nAttenCode;    // code of the (first) attenuator
extern std::int32_t g_nAttenCode2;   // code of the second attenuator of the dual device
extern float g_fAttenDb;             // dB of the last trackbar or spin action
extern std::string g_strAttenDb;     // two-decimal text of g_fAttenDb made by the trackbar

namespace stepctl {

// Back to the start-up values. The program itself never needs it; tests and tools that run
// several sessions in one process do.
void resetSelectionState();

}  // namespace stepctl
