#include "SelectionState.h"

std::int32_t g_nDeviceIndex = 0;
std::int32_t g_nInterface = 0;
std::int32_t g_bSevenBit = 0;
std::int32_t g_nAttenCode = 0;
std::int32_t g_nAttenCode2 = 0;
float g_fAttenDb = 0.0f;
std::string g_strAttenDb;

namespace stepctl {

void resetSelectionState() {
    g_nDeviceIndex = 0;
    g_nInterface = 0;
    g_bSevenBit = 0;
    g_nAttenCode = 0;
    g_nAttenCode2 = 0;
    g_fAttenDb = 0.0f;
    g_strAttenDb.clear();
}

}  // namespace stepctl
