// A stand-in for FTDI's D2XX library, built under the library's own file name (libftd2xx.so,
// ftd2xx.dll) so that D2xxLink loads it the way it loads the real one. It keeps a list of
// chips, writes every call with its arguments into a log, and fails any chosen call with any
// status. Tests in the same process steer it through the FakeD2xx_* functions; a process run
// of stepctl-cli reads the same settings from the environment when the library is loaded:
//   FAKE_D2XX_CHIPS  serial numbers, comma-separated ("" for none; default one chip, FAKE0001)
//   FAKE_D2XX_FAIL   CALL=STATUS pairs, comma-separated, e.g. FT_Write=4
//   FAKE_D2XX_SHORT  how many bytes every write takes
//   FAKE_D2XX_LOG    a file each log line is appended to
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "D2xxApi.h"

using namespace stepctl::d2xx;

namespace {

struct Fake {
    std::vector<std::string> serials{"FAKE0001"};
    std::map<std::string, Status> failures;
    long shortWrite = -1;  // bytes every write takes; -1 for all
    std::vector<bool> open;
    std::string log;
    std::string logFile;
};

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return parts;
}

void configure(Fake& fake, const char* chips, const char* fail, const char* shortWrite) {
    if (chips != nullptr)
        fake.serials = split(chips);
    fake.open.assign(fake.serials.size(), false);
    fake.failures.clear();
    if (fail != nullptr) {
        for (const std::string& pair : split(fail)) {
            const std::size_t eq = pair.find('=');
            if (eq != std::string::npos)
                fake.failures[pair.substr(0, eq)] =
                    static_cast<Status>(std::strtoul(pair.c_str() + eq + 1, nullptr, 10));
        }
    }
    fake.shortWrite = shortWrite != nullptr ? std::strtol(shortWrite, nullptr, 10) : -1;
}

// Several boards may call from several threads at once, as a real driver allows.
std::recursive_mutex& fakeLock() {
    static std::recursive_mutex lock;
    return lock;
}

Fake& fake() {
    static Fake f = [] {
        Fake made;
        configure(made, std::getenv("FAKE_D2XX_CHIPS"), std::getenv("FAKE_D2XX_FAIL"),
                  std::getenv("FAKE_D2XX_SHORT"));
        if (const char* file = std::getenv("FAKE_D2XX_LOG"))
            made.logFile = file;
        return made;
    }();
    return f;
}

void record(const std::string& line) {
    Fake& f = fake();
    f.log += line + "\n";
    if (!f.logFile.empty()) {
        if (std::FILE* out = std::fopen(f.logFile.c_str(), "ab")) {
            std::fputs((line + "\n").c_str(), out);
            std::fclose(out);
        }
    }
}

// The status the test chose for this call, or FT_OK.
Status chosen(const char* call) {
    const auto it = fake().failures.find(call);
    return it == fake().failures.end() ? kOk : it->second;
}

std::string result(Status status) {
    return status == kOk ? "" : " -> " + std::to_string(status);
}

// Handles are the chip's index plus one, so that no valid handle is null.
Handle handleOf(std::size_t chip) {
    return reinterpret_cast<Handle>(chip + 1);
}

// The chip behind an open handle, or -1.
long chipOf(Handle handle) {
    const auto chip = static_cast<long>(reinterpret_cast<std::uintptr_t>(handle)) - 1;
    const Fake& f = fake();
    return chip >= 0 && chip < static_cast<long>(f.open.size()) && f.open[chip] ? chip : -1;
}

std::string hexOf(const std::uint8_t* bytes, Dword count) {
    std::string text;
    char two[4];
    for (Dword i = 0; i < count; ++i) {
        std::snprintf(two, sizeof two, " %02X", bytes[i]);
        text += two;
    }
    return text;
}

Status openChip(std::size_t chip, Handle* handle, const std::string& call) {
    Status status = chosen(call.substr(0, call.find('(')).c_str());
    Fake& f = fake();
    if (status == kOk && chip >= f.serials.size())
        status = kDeviceNotFound;
    if (status == kOk && f.open[chip])
        status = kDeviceNotOpened;
    if (status == kOk) {
        f.open[chip] = true;
        *handle = handleOf(chip);
    }
    record(call + result(status) + (status == kOk ? " #" + std::to_string(chip) : ""));
    return status;
}

// A call on an open handle: the chosen status, else FT_INVALID_HANDLE for a handle not open.
Status onHandle(const char* call, Handle handle, const std::string& arguments) {
    const long chip = chipOf(handle);
    Status status = chosen(call);
    if (chip < 0)
        status = kInvalidHandle;
    record(std::string(call) + "(#" + std::to_string(chip) + arguments + ")" + result(status));
    return status;
}

}  // namespace

extern "C" {

Status STEPCTL_D2XX_CALL FT_Open(int deviceIndex, Handle* handle) {
    const std::lock_guard guard(fakeLock());
    return openChip(static_cast<std::size_t>(deviceIndex < 0 ? 1L << 20 : deviceIndex), handle,
                    "FT_Open(" + std::to_string(deviceIndex) + ")");
}

Status STEPCTL_D2XX_CALL FT_OpenEx(void* arg, Dword flags, Handle* handle) {
    const std::lock_guard guard(fakeLock());
    const std::string serial = flags == kOpenBySerialNumber ? static_cast<const char*>(arg) : "";
    std::size_t chip = 0;
    const Fake& f = fake();
    while (chip < f.serials.size() && f.serials[chip] != serial)
        ++chip;
    if (flags != kOpenBySerialNumber)
        chip = f.serials.size();
    return openChip(chip, handle, "FT_OpenEx(\"" + serial + "\", " + std::to_string(flags) + ")");
}

Status STEPCTL_D2XX_CALL FT_Close(Handle handle) {
    const std::lock_guard guard(fakeLock());
    const long chip = chipOf(handle);
    const Status status = onHandle("FT_Close", handle, "");
    if (chip >= 0)
        fake().open[chip] = false;  // released even when the close reports a failure
    return status;
}

Status STEPCTL_D2XX_CALL FT_SetBitMode(Handle handle, std::uint8_t mask, std::uint8_t mode) {
    const std::lock_guard guard(fakeLock());
    char arguments[32];
    std::snprintf(arguments, sizeof arguments, ", 0x%02X, %u", mask, mode);
    return onHandle("FT_SetBitMode", handle, arguments);
}

Status STEPCTL_D2XX_CALL FT_SetBaudRate(Handle handle, std::uint32_t baud) {
    const std::lock_guard guard(fakeLock());
    return onHandle("FT_SetBaudRate", handle, ", " + std::to_string(baud));
}

Status STEPCTL_D2XX_CALL FT_Write(Handle handle, void* buffer, Dword count, Dword* written) {
    const std::lock_guard guard(fakeLock());
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    Status status = chosen("FT_Write");
    Dword took = 0;
    if (chipOf(handle) < 0)
        status = kInvalidHandle;
    if (status == kOk) {
        const long limit = fake().shortWrite;
        took = limit >= 0 && static_cast<Dword>(limit) < count ? static_cast<Dword>(limit) : count;
    }
    *written = took;
    record("FT_Write(#" + std::to_string(chipOf(handle)) + ", " + std::to_string(count) +
           ", took " + std::to_string(took) + ")" + result(status) + hexOf(bytes, count));
    return status;
}

Status STEPCTL_D2XX_CALL FT_CreateDeviceInfoList(Dword* count) {
    const std::lock_guard guard(fakeLock());
    const Status status = chosen("FT_CreateDeviceInfoList");
    *count = status == kOk ? static_cast<Dword>(fake().serials.size()) : 0;
    record("FT_CreateDeviceInfoList()" + result(status));
    return status;
}

Status STEPCTL_D2XX_CALL FT_GetDeviceInfoDetail(Dword index, Dword* flags, Dword* type, Dword* id,
                                                Dword* locId, void* serial, void* description,
                                                Handle* handle) {
    const std::lock_guard guard(fakeLock());
    const Fake& f = fake();
    Status status = chosen("FT_GetDeviceInfoDetail");
    if (status == kOk && index >= f.serials.size())
        status = kDeviceNotFound;
    if (status == kOk) {
        *flags = f.open[index] ? kFlagOpened : 0;
        *type = 5;  // an FT232R
        *id = 0x04036001;
        *locId = 0x0100 + index;
        std::snprintf(static_cast<char*>(serial), kSerialChars, "%s", f.serials[index].c_str());
        std::snprintf(static_cast<char*>(description), kDescriptionChars, "FT232R USB UART");
        *handle = nullptr;
    }
    record("FT_GetDeviceInfoDetail(" + std::to_string(index) + ")" + result(status));
    return status;
}

// The test's controls.

void FakeD2xx_Reset(const char* serials) {
    const std::lock_guard guard(fakeLock());
    Fake& f = fake();
    configure(f, serials, nullptr, nullptr);
    f.log.clear();
}

void FakeD2xx_Fail(const char* call, Status status) {
    const std::lock_guard guard(fakeLock());
    fake().failures[call] = status;
}

void FakeD2xx_ShortWrite(long bytes) {
    const std::lock_guard guard(fakeLock());
    fake().shortWrite = bytes;
}

// The log so far, one call a line; copies at most size - 1 characters and returns the length.
std::size_t FakeD2xx_Log(char* buffer, std::size_t size) {
    const std::lock_guard guard(fakeLock());
    const std::string& log = fake().log;
    if (size > 0)
        std::snprintf(buffer, size, "%s", log.c_str());
    return log.size();
}

int FakeD2xx_OpenHandles() {
    const std::lock_guard guard(fakeLock());
    int count = 0;
    for (bool isOpen : fake().open)
        count += isOpen ? 1 : 0;
    return count;
}

}  // extern "C"
