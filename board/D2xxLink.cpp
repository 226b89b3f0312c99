#include "D2xxLink.h"

#include <algorithm>
#include <array>

#include "SharedLibrary.h"

namespace stepctl {

// The library and the entry points the link calls, looked up once when it is loaded.
struct D2xxLibrary {
    std::unique_ptr<SharedLibrary> module;
    d2xx::OpenFn open = nullptr;
    d2xx::OpenExFn openEx = nullptr;
    d2xx::CloseFn close = nullptr;
    d2xx::SetBitModeFn setBitMode = nullptr;
    d2xx::SetBaudRateFn setBaudRate = nullptr;
    d2xx::WriteFn write = nullptr;
    d2xx::CreateDeviceInfoListFn createDeviceInfoList = nullptr;
    d2xx::GetDeviceInfoDetailFn getDeviceInfoDetail = nullptr;
};

namespace {

constexpr const char* kStatusWords[] = {
    "ok",
    "invalid handle",
    "device not found",
    "device not opened (in use by another program?)",
    "I/O error",
    "insufficient resources",
    "invalid parameter",
    "invalid baud rate",
    "device not opened for erase",
    "device not opened for write",
    "failed to write to the device",
    "EEPROM read failed",
    "EEPROM write failed",
    "EEPROM erase failed",
    "EEPROM not present",
    "EEPROM not programmed",
    "invalid arguments",
    "not supported",
    "other error",
    "device list not ready",
};

template <typename Fn>
bool lookUp(const SharedLibrary& module, const char* name, Fn& fn, std::string& missing) {
    fn = reinterpret_cast<Fn>(module.symbol(name));
    if (fn == nullptr && missing.empty())
        missing = name;
    return fn != nullptr;
}

// The library with every entry point, or the words for why there is none.
std::shared_ptr<const D2xxLibrary> loadLibrary(LinkStatus& status) {
    const std::string file = d2xxLibraryFileName();
    std::string loaderWords;
    auto library = std::make_shared<D2xxLibrary>();
    library->module = SharedLibrary::open(file, loaderWords);
    if (!library->module) {
        status = {LinkCode::DriverMissing, "the FTDI D2XX driver (" + file + ") is not installed"};
        return nullptr;
    }
    const SharedLibrary& m = *library->module;
    std::string missing;
    lookUp(m, "FT_Open", library->open, missing);
    lookUp(m, "FT_OpenEx", library->openEx, missing);
    lookUp(m, "FT_Close", library->close, missing);
    lookUp(m, "FT_SetBitMode", library->setBitMode, missing);
    lookUp(m, "FT_SetBaudRate", library->setBaudRate, missing);
    lookUp(m, "FT_Write", library->write, missing);
    lookUp(m, "FT_CreateDeviceInfoList", library->createDeviceInfoList, missing);
    lookUp(m, "FT_GetDeviceInfoDetail", library->getDeviceInfoDetail, missing);
    if (!missing.empty()) {
        status = {LinkCode::DriverMissing, "the FTDI D2XX driver (" + file + ") has no " + missing +
                                               ": not a D2XX library?"};
        return nullptr;
    }
    status = LinkStatus::success();
    return library;
}

LinkStatus notOpen() {
    return {LinkCode::NotOpen, "device not open"};
}

// A fixed-size text field the driver filled, which need not end in NUL.
template <std::size_t N>
std::string textOf(const std::array<char, N>& field) {
    std::size_t length = 0;
    while (length < N && field[length] != '\0')
        ++length;
    return {field.data(), length};
}

}  // namespace

std::string d2xxLibraryFileName() {
    return SharedLibrary::fileNameOf("ftd2xx");
}

std::string d2xxStatusText(d2xx::Status status) {
    const std::string words =
        status < std::size(kStatusWords) ? kStatusWords[status] : "unknown status";
    return words + " (D2XX status " + std::to_string(status) + ")";
}

LinkStatus d2xxLinkStatus(d2xx::Status status) {
    switch (status) {
        case d2xx::kOk:
            return LinkStatus::success();
        case d2xx::kDeviceNotFound:
            return {LinkCode::DeviceNotFound, d2xxStatusText(status)};
        case d2xx::kDeviceNotOpened:
        case d2xx::kDeviceNotOpenedForErase:
        case d2xx::kDeviceNotOpenedForWrite:
            return {LinkCode::DeviceNotOpened, d2xxStatusText(status)};
        case d2xx::kInvalidHandle:
            return {LinkCode::NotOpen, d2xxStatusText(status)};
        case d2xx::kInvalidParameter:
        case d2xx::kInvalidBaudRate:
        case d2xx::kInvalidArgs:
            return {LinkCode::InvalidArgument, d2xxStatusText(status)};
        default:
            return {LinkCode::IoError, d2xxStatusText(status)};
    }
}

D2xxLink::~D2xxLink() {
    if (open_)
        close();
}

LinkStatus D2xxLink::open() {
    if (open_)
        return {LinkCode::InvalidArgument, "device already open"};
    if (!library_) {
        LinkStatus loaded;
        library_ = loadLibrary(loaded);
        if (!library_)
            return loaded;
    }
    d2xx::Handle handle = nullptr;
    const d2xx::Status status =
        serial_.empty() ? library_->open(0, &handle)
                        : library_->openEx(serial_.data(), d2xx::kOpenBySerialNumber, &handle);
    if (status != d2xx::kOk) {
        LinkStatus failed = d2xxLinkStatus(status);
        if (!serial_.empty())
            failed.message = "no FTDI device with serial number " + serial_ +
                             " could be opened: " + failed.message;
        return failed;
    }
    handle_ = handle;
    open_ = true;
    return LinkStatus::success();
}

LinkStatus D2xxLink::setBitMode(std::uint8_t mask, std::uint8_t mode) {
    if (!open_)
        return notOpen();
    return d2xxLinkStatus(library_->setBitMode(handle_, mask, mode));
}

LinkStatus D2xxLink::setBaudRate(int baud) {
    if (!open_)
        return notOpen();
    if (baud <= 0)
        return {LinkCode::InvalidArgument, "the rate must be above 0"};
    return d2xxLinkStatus(library_->setBaudRate(handle_, static_cast<std::uint32_t>(baud)));
}

LinkStatus D2xxLink::write(std::span<const std::uint8_t> bytes, std::size_t& written) {
    written = 0;
    if (!open_)
        return notOpen();
    d2xx::Dword count = 0;
    // The driver only reads the buffer, though its signature does not say so.
    const d2xx::Status status = library_->write(handle_, const_cast<std::uint8_t*>(bytes.data()),
                                                static_cast<d2xx::Dword>(bytes.size()), &count);
    if (status != d2xx::kOk)
        return d2xxLinkStatus(status);
    // A count above the request would be the driver's fault; never report more than was given.
    written = std::min<std::size_t>(count, bytes.size());
    return LinkStatus::success();
}

LinkStatus D2xxLink::close() {
    if (!open_)
        return notOpen();
    const d2xx::Handle handle = handle_;
    handle_ = nullptr;
    open_ = false;
    return d2xxLinkStatus(library_->close(handle));
}

std::vector<D2xxChipInfo> listD2xxChips(std::string* error) {
    std::vector<D2xxChipInfo> chips;
    auto fail = [error](const std::string& why) {
        if (error != nullptr)
            *error = why;
    };
    LinkStatus loaded;
    const std::shared_ptr<const D2xxLibrary> library = loadLibrary(loaded);
    if (!library) {
        fail(loaded.message);
        return chips;
    }
    d2xx::Dword count = 0;
    if (const d2xx::Status s = library->createDeviceInfoList(&count); s != d2xx::kOk) {
        fail(d2xxStatusText(s));
        return chips;
    }
    for (d2xx::Dword i = 0; i < count; ++i) {
        d2xx::Dword flags = 0, type = 0, id = 0, location = 0;
        std::array<char, d2xx::kSerialChars> serial{};
        std::array<char, d2xx::kDescriptionChars> description{};
        d2xx::Handle handle = nullptr;
        const d2xx::Status s = library->getDeviceInfoDetail(
            i, &flags, &type, &id, &location, serial.data(), description.data(), &handle);
        if (s != d2xx::kOk) {
            fail("reading the details of chip " + std::to_string(i) +
                 " failed: " + d2xxStatusText(s));
            return {};
        }
        D2xxChipInfo info;
        info.index = static_cast<int>(i);
        info.openElsewhere = (flags & d2xx::kFlagOpened) != 0;
        info.type = type;
        info.vendorId = static_cast<int>(id >> 16);
        info.productId = static_cast<int>(id & 0xFFFF);
        info.locationId = location;
        info.serial = textOf(serial);
        info.description = textOf(description);
        chips.push_back(std::move(info));
    }
    return chips;
}

}  // namespace stepctl
