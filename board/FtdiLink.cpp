#include "FtdiLink.h"

#include <ftdi.h>
#include <libusb.h>

#include <array>
#include <cstdio>
#include <memory>
#include <vector>

#include "ByteStream.h"

#include "FtdiOpenFailure.h"

namespace stepctl {
namespace {

struct ListFree {
    void operator()(ftdi_device_list* list) const { ftdi_list_free(&list); }
};
using DeviceList = std::unique_ptr<ftdi_device_list, ListFree>;

struct ContextFree {
    void operator()(ftdi_context* ctx) const { ftdi_free(ctx); }
};
using Context = std::unique_ptr<ftdi_context, ContextFree>;

struct ChipStrings {
    std::string manufacturer, description, serial;
    std::string error;  // why they could not be read
    OpenFailure why = OpenFailure::None;
};

// libftdi says only that libusb_open failed; a second try of our own says why.
int libusbOpenError(libusb_device* dev) {
    libusb_device_handle* handle = nullptr;
    const int result = libusb_open(dev, &handle);
    if (result == 0)
        libusb_close(handle);
    return result;
}

ChipStrings readStrings(ftdi_context* ctx, libusb_device* dev) {
    std::array<char, 128> manufacturer{}, description{}, serial{};
    ChipStrings s;
    const int result =
        ftdi_usb_get_strings(ctx, dev, manufacturer.data(), manufacturer.size(), description.data(),
                             description.size(), serial.data(), serial.size());
    if (result == 0) {
        s = {manufacturer.data(), description.data(), serial.data(), {}, OpenFailure::None};
    } else {
        const std::string words = ftdi_get_error_string(ctx);
        s.why = classifyFtdiStrings(result, result == -4 ? libusbOpenError(dev) : 0);
        s.error = explainOpenFailure(s.why, words);
    }
    return s;
}

// All FTDI chips libftdi knows of (vendor 0 and product 0 select its built-in list).
int findAll(ftdi_context* ctx, DeviceList& list) {
    ftdi_device_list* raw = nullptr;
    const int count = ftdi_usb_find_all(ctx, &raw, 0, 0);
    list.reset(raw);
    return count;
}

ChipFamily familyOf(ftdi_chip_type type) {
    switch (type) {
        case TYPE_AM:
            return ChipFamily::Am;
        case TYPE_BM:
            return ChipFamily::Bm;
        case TYPE_2232C:
            return ChipFamily::C2232;
        case TYPE_R:
            return ChipFamily::R;
        case TYPE_2232H:
            return ChipFamily::H2232;
        case TYPE_4232H:
            return ChipFamily::H4232;
        case TYPE_232H:
            return ChipFamily::H232;
        case TYPE_230X:
            return ChipFamily::X;
    }
    return ChipFamily::Unknown;
}

// One write in flight: its buffer lives until libftdi is done with it.
struct InFlight {
    std::vector<std::uint8_t> bytes;
    std::size_t count = 0;
    ftdi_transfer_control* control = nullptr;
};

// Replaces libftdi's completion of a submitted write, which sends the rest of a piece again
// after a failed transfer and so would wait forever on a chip that keeps stalling: here a
// failed transfer ends its piece (as libftdi's blocking write does), a short one sends the rest.
void LIBUSB_CALL endOnFailure(libusb_transfer* transfer) {
    auto* control = static_cast<ftdi_transfer_control*>(transfer->user_data);
    control->offset += transfer->actual_length;
    if (control->offset >= control->size || transfer->status != LIBUSB_TRANSFER_COMPLETED) {
        control->completed = 1;
        return;
    }
    transfer->buffer = control->buf + control->offset;
    transfer->length = control->size - control->offset;
    if (libusb_submit_transfer(transfer) < 0)
        control->completed = 1;
}

// Waits for the write without spinning (libftdi's own wait polls with a zero timeout), then
// collects it: the bytes the chip took, or below 0 when the transfer failed.
int finish(ftdi_context* ctx, InFlight& slot) {
    ftdi_transfer_control* control = slot.control;
    slot.control = nullptr;
    while (control->completed == 0) {
        timeval tenth{0, 100000};
        const int result =
            libusb_handle_events_timeout_completed(ctx->usb_ctx, &tenth, &control->completed);
        if (result < 0 && result != LIBUSB_ERROR_INTERRUPTED)
            break;  // libftdi's own wait below cancels it
    }
    return ftdi_transfer_data_done(control);
}

}  // namespace

FtdiLink::~FtdiLink() {
    if (ctx_ != nullptr)
        close();
}

LinkStatus FtdiLink::failure(LinkCode code) {
    return {code, ftdi_get_error_string(ctx_)};
}

LinkStatus FtdiLink::open() {
    if (ctx_ != nullptr)
        return {LinkCode::InvalidArgument, "device already open"};
    reached_.clear();
    Context ctx(ftdi_new());
    if (!ctx)
        return {LinkCode::DeviceNotOpened, "ftdi_new failed"};

    DeviceList list;
    const int count = findAll(ctx.get(), list);
    if (count < 0) {
        return {LinkCode::DeviceNotFound,
                explainOpenFailure(OpenFailure::NoUsb, ftdi_get_error_string(ctx.get())),
                OpenFailure::NoUsb};
    }

    if (list == nullptr && serial_.empty())
        return {LinkCode::DeviceNotFound, "no FTDI device found", OpenFailure::Absent};
    libusb_device* chosen = serial_.empty() ? list->dev : nullptr;
    int unreadable = 0;  // chips whose serial number could not be read (no access, ...)
    std::string why;
    for (ftdi_device_list* node = list.get(); node != nullptr && chosen == nullptr;
         node = node->next) {
        const ChipStrings s = readStrings(ctx.get(), node->dev);
        if (s.serial == serial_)
            chosen = node->dev;
        else if (!s.error.empty() && unreadable++ == 0)
            why = s.error;
    }
    if (chosen == nullptr) {
        std::string message = "no FTDI device with serial number " + serial_;
        if (unreadable > 0) {
            message += " (could not read the serial number of " + std::to_string(unreadable) +
                       (unreadable == 1 ? " chip: " : " chips: ") + why + ")";
        }
        return {LinkCode::DeviceNotFound, message, OpenFailure::Absent};
    }
    if (const int result = ftdi_usb_open_dev(ctx.get(), chosen); result < 0) {
        const std::string words = ftdi_get_error_string(ctx.get());
        const OpenFailure reason =
            classifyFtdiOpen(result, result == -4 ? libusbOpenError(chosen) : 0);
        return {
            reason == OpenFailure::Absent ? LinkCode::DeviceNotFound : LinkCode::DeviceNotOpened,
            explainOpenFailure(reason, words), reason};
    }
    // Named from what libusb already knows, so naming it costs no traffic on the bus.
    libusb_device_descriptor desc{};
    char ids[16] = "";
    if (libusb_get_device_descriptor(chosen, &desc) == 0)
        std::snprintf(ids, sizeof ids, " %04x:%04x", desc.idVendor, desc.idProduct);
    reached_ = std::string("FTDI chip") + ids +
               (serial_.empty() ? std::string() : " (serial " + serial_ + ")") + " on USB bus " +
               std::to_string(libusb_get_bus_number(chosen)) + ", address " +
               std::to_string(libusb_get_device_address(chosen));
    ctx_ = ctx.release();
    family_ = familyOf(ctx_->type);
    return LinkStatus::success();
}

std::string FtdiLink::describeDevice() const {
    const std::string chip = !reached_.empty() ? reached_
                             : serial_.empty() ? "the first FTDI chip"
                                               : "the FTDI chip with serial number " + serial_;
    return chip + ", through libftdi1";
}

LinkStatus FtdiLink::setBitMode(std::uint8_t mask, std::uint8_t mode) {
    if (ctx_ == nullptr)
        return {LinkCode::NotOpen, "device not open"};
    if (ftdi_set_bitmode(ctx_, mask, mode) < 0)
        return failure(LinkCode::IoError);
    return LinkStatus::success();
}

LinkStatus FtdiLink::setBaudRate(int baud) {
    if (ctx_ == nullptr)
        return {LinkCode::NotOpen, "device not open"};
    // libftdi multiplies the rate by 4 once bit-bang mode is on; the chip must see the divisor
    // of the plain rate. Handing it a quarter would lose the remainder of a rate that is not a
    // multiple of 4 (a timed stream's 6250), so it is told for this call that the mode is off.
    const unsigned char bitbang = ctx_->bitbang_enabled;
    ctx_->bitbang_enabled = 0;
    const int result = ftdi_set_baudrate(ctx_, baud);
    ctx_->bitbang_enabled = bitbang;
    if (result < 0)
        return failure(LinkCode::IoError);
    return LinkStatus::success();
}

LinkStatus FtdiLink::write(std::span<const std::uint8_t> bytes, std::size_t& written) {
    written = 0;
    if (ctx_ == nullptr)
        return {LinkCode::NotOpen, "device not open"};
    const int result = ftdi_write_data(ctx_, bytes.data(), static_cast<int>(bytes.size()));
    if (result < 0)
        return failure(LinkCode::IoError);
    written = static_cast<std::size_t>(result);
    return LinkStatus::success();
}

ChipFamily FtdiLink::chipFamily() const {
    return family_;
}

StreamEnd FtdiLink::writeStream(ByteSource& source, const StreamPace& pace) {
    StreamEnd end;
    if (ctx_ == nullptr) {
        end.status = {LinkCode::NotOpen, "device not open"};
        return end;
    }
    const std::size_t pieceBytes = pace.pieceBytes == 0 ? 4096 : pace.pieceBytes;
    std::vector<InFlight> slots(static_cast<std::size_t>(pace.inFlight < 1 ? 1 : pace.inFlight));
    for (InFlight& slot : slots)
        slot.bytes.resize(pieceBytes);
    UnderrunWatch watch(pace.samplesPerSecond);
    std::uint64_t given = 0;
    bool more = true;
    // Round the ring, oldest first: collect a slot's write, then refill and resubmit it.
    for (std::size_t at = 0;; at = (at + 1) % slots.size()) {
        InFlight& slot = slots[at];
        if (slot.control != nullptr) {
            const int took = finish(ctx_, slot);
            if (took < 0 && end.status.ok())
                end.status = failure(LinkCode::IoError);
            if (took >= 0) {
                end.taken += static_cast<std::uint64_t>(took);
                source.taken(end.taken);
                if (static_cast<std::size_t>(took) != slot.count && end.status.ok())
                    end.status = {LinkCode::IoError, "short write: the chip took " +
                                                         std::to_string(took) + " of " +
                                                         std::to_string(slot.count) + " bytes"};
            }
            if (!end.status.ok())
                more = false;  // collect what is still in flight, queue nothing more
        }
        if (more && !source.goOn()) {
            end.stopped = true;
            more = false;
        }
        if (more) {
            slot.count = source.fill(slot.bytes);
            if (slot.count == 0) {
                more = false;
            } else {
                watch.beforeHandingOver(given);
                slot.control =
                    ftdi_write_data_submit(ctx_, slot.bytes.data(), static_cast<int>(slot.count));
                if (slot.control == nullptr) {
                    end.status = failure(LinkCode::IoError);
                    more = false;
                } else {
                    // Not yet run: callbacks run only while this thread handles events.
                    slot.control->transfer->callback = endOnFailure;
                    given += slot.count;
                }
            }
        }
        if (!more) {
            bool pending = false;
            for (const InFlight& other : slots)
                pending = pending || other.control != nullptr;
            if (!pending)
                break;
        }
    }
    watch.note(end);
    return end;
}

LinkStatus FtdiLink::close() {
    if (ctx_ == nullptr)
        return {LinkCode::NotOpen, "device not open"};
    Context ctx(ctx_);
    ctx_ = nullptr;
    // libftdi fails the close only when the interface could not be released, and leaves its
    // error text as it was (often "all fine"): name the failure here.
    if (ftdi_usb_close(ctx.get()) < 0)
        return {LinkCode::IoError, "releasing the USB interface failed"};
    return LinkStatus::success();
}

std::vector<FtdiChipInfo> listFtdiChips(std::string* error) {
    std::vector<FtdiChipInfo> chips;
    Context ctx(ftdi_new());
    if (!ctx) {
        if (error != nullptr)
            *error = "ftdi_new failed";
        return chips;
    }
    DeviceList list;
    if (findAll(ctx.get(), list) < 0) {
        if (error != nullptr)
            *error = ftdi_get_error_string(ctx.get());
        return chips;
    }
    int index = 0;
    for (ftdi_device_list* node = list.get(); node != nullptr; node = node->next) {
        FtdiChipInfo info;
        info.index = index++;
        libusb_device_descriptor desc{};
        if (libusb_get_device_descriptor(node->dev, &desc) == 0) {
            info.vendorId = desc.idVendor;
            info.productId = desc.idProduct;
        }
        info.bus = libusb_get_bus_number(node->dev);
        info.address = libusb_get_device_address(node->dev);
        ChipStrings s = readStrings(ctx.get(), node->dev);
        info.manufacturer = std::move(s.manufacturer);
        info.description = std::move(s.description);
        info.serial = std::move(s.serial);
        info.stringError = std::move(s.error);
        info.stringFailure = s.why;
        chips.push_back(std::move(info));
    }
    return chips;
}

}  // namespace stepctl
