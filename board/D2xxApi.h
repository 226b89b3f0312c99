// The few calls of FTDI's D2XX driver library that the board link uses, with their types and
// status values, as the D2XX programmer's guide publishes them. Written here rather than taken
// from a vendor header: the library is loaded at run time, so nothing else of it is needed.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define STEPCTL_D2XX_CALL __stdcall  // the library's calls are WINAPI on Windows
#else
#define STEPCTL_D2XX_CALL
#endif

namespace stepctl::d2xx {

using Handle = void*;          // FT_HANDLE
using Status = std::uint32_t;  // FT_STATUS
using Dword = std::uint32_t;   // DWORD

// FT_STATUS values, in the guide's order.
enum : Status {
    kOk = 0,
    kInvalidHandle = 1,
    kDeviceNotFound = 2,
    kDeviceNotOpened = 3,
    kIoError = 4,
    kInsufficientResources = 5,
    kInvalidParameter = 6,
    kInvalidBaudRate = 7,
    kDeviceNotOpenedForErase = 8,
    kDeviceNotOpenedForWrite = 9,
    kFailedToWriteDevice = 10,
    kEepromReadFailed = 11,
    kEepromWriteFailed = 12,
    kEepromEraseFailed = 13,
    kEepromNotPresent = 14,
    kEepromNotProgrammed = 15,
    kInvalidArgs = 16,
    kNotSupported = 17,
    kOtherError = 18,
    kDeviceListNotReady = 19,
};

inline constexpr Dword kOpenBySerialNumber = 1;  // FT_OpenEx: pvArg1 is a serial number
inline constexpr Dword kFlagOpened = 1;          // FT_GetDeviceInfoDetail: open elsewhere
inline constexpr int kSerialChars = 16;          // the guide's buffer sizes, NUL included
inline constexpr int kDescriptionChars = 64;

using OpenFn = Status(STEPCTL_D2XX_CALL*)(int deviceIndex, Handle* handle);
using OpenExFn = Status(STEPCTL_D2XX_CALL*)(void* arg, Dword flags, Handle* handle);
using CloseFn = Status(STEPCTL_D2XX_CALL*)(Handle handle);
using SetBitModeFn = Status(STEPCTL_D2XX_CALL*)(Handle handle, std::uint8_t mask,
                                                std::uint8_t mode);
using SetBaudRateFn = Status(STEPCTL_D2XX_CALL*)(Handle handle, std::uint32_t baud);
using WriteFn = Status(STEPCTL_D2XX_CALL*)(Handle handle, void* buffer, Dword count,
                                           Dword* written);
using CreateDeviceInfoListFn = Status(STEPCTL_D2XX_CALL*)(Dword* count);
using GetDeviceInfoDetailFn = Status(STEPCTL_D2XX_CALL*)(Dword index, Dword* flags, Dword* type,
                                                         Dword* id, Dword* locId, void* serial,
                                                         void* description, Handle* handle);

}  // namespace stepctl::d2xx
