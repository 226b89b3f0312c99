#include "EmulatedChip.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>

namespace stepctl::usbtest {
namespace {

constexpr std::uint8_t kGetDescriptor = 0x06;
constexpr std::uint8_t kDescriptorDevice = 1;
constexpr std::uint8_t kDescriptorConfig = 2;
constexpr std::uint8_t kDescriptorString = 3;
constexpr std::size_t kDeviceDescriptorSize = 18;
constexpr std::size_t kSetupSize = 8;

// libusb only needs to know that completed URBs may still be reaped after a disconnect.
constexpr std::uint32_t kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                                        USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                        USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

// umockdev_ioctl_data_resolve hands out a reference of our own.
struct DataUnref {
    void operator()(UMockdevIoctlData* data) const { g_object_unref(data); }
};
using DataRef = std::unique_ptr<UMockdevIoctlData, DataUnref>;

DataRef resolve(UMockdevIoctlData* parent, std::size_t offset, std::size_t length) {
    GError* error = nullptr;
    DataRef data(umockdev_ioctl_data_resolve(parent, offset, length, &error));
    if (error != nullptr)
        g_error_free(error);
    return data;
}

struct ControlAnswer {
    int error = 0;  // errno, 0 when answered
    std::vector<std::uint8_t> data;
};

// What the chip answers on endpoint 0: vendor requests are taken (IN ones read zeros),
// descriptors come from the chip's tables, anything else stalls.
ControlAnswer answerControl(const ChipSpec& chip, const SetupPacket& s) {
    const bool deviceToHost = (s.requestType & 0x80) != 0;
    if ((s.requestType & 0x60) == 0x40)
        return {0, std::vector<std::uint8_t>(deviceToHost ? s.length : 0, 0)};
    if (s.requestType != 0x80 || s.request != kGetDescriptor)
        return {EPIPE, {}};

    const auto& all = ft232rDescriptors();
    std::vector<std::uint8_t> d;
    switch (s.value >> 8) {
        case kDescriptorDevice:
            d.assign(all.begin(), all.begin() + kDeviceDescriptorSize);
            break;
        case kDescriptorConfig:
            d.assign(all.begin() + kDeviceDescriptorSize, all.end());
            break;
        case kDescriptorString:
            if (auto text = stringDescriptor(chip, static_cast<std::uint8_t>(s.value & 0xFF)))
                d = std::move(*text);
            else
                return {EPIPE, {}};
            break;
        default:
            return {EPIPE, {}};
    }
    if (d.size() > s.length)
        d.resize(s.length);
    return {0, std::move(d)};
}

SetupPacket setupFrom(const std::uint8_t* b) {
    auto word = [b](int at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); };
    return {b[0], b[1], word(2), word(4), word(6)};
}

}  // namespace

EmulatedChip::EmulatedChip(ChipSpec spec)
    : spec_(std::move(spec)), serialDriverBound_(spec_.serialDriverBound) {}

EmulatedChip::~EmulatedChip() {
    for (const Handle& handle : openHandles_)
        g_object_unref(handle.client);
    for (auto& [client, queue] : reapable_) {
        for (UMockdevIoctlData* urb : queue)
            g_object_unref(urb);
    }
}

void EmulatedChip::handleIoctl(UMockdevIoctlClient* client) {
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    Reply reply;
    {
        std::lock_guard lock(mutex_);
        reply = dispatch(client, request, arg);
    }
    umockdev_ioctl_client_complete(client, reply.result, reply.error);
}

void EmulatedChip::clientConnected(UMockdevIoctlClient* client) {
    std::lock_guard lock(mutex_);
    ++actions_.opens;
    openHandles_.push_back({static_cast<UMockdevIoctlClient*>(g_object_ref(client)), true});
}

void EmulatedChip::noteClosedHandles() {
    // umockdev 0.17 never emits "client-vanished"; a handle the host closed shows as a client
    // whose stream umockdev's worker has closed. Reading that flag from this thread is a plain
    // load of a flag that only ever turns true.
    auto closed = [this](const Handle& handle) {
        if (umockdev_ioctl_client_get_connected(handle.client))
            return false;
        if (handle.countsClose)
            ++actions_.closes;
        if (claimedBy_ == handle.client)
            claimedBy_ = nullptr;  // the kernel releases what a closed file held
        // Before the client goes: a new one may come at the same address.
        dropUrbsOf(handle.client);
        g_object_unref(handle.client);
        return true;
    };
    openHandles_.erase(std::remove_if(openHandles_.begin(), openHandles_.end(), closed),
                       openHandles_.end());
}

void EmulatedChip::clientVanished(UMockdevIoctlClient* client) {
    std::lock_guard lock(mutex_);
    dropUrbsOf(client);
}

void EmulatedChip::dropUrbsOf(UMockdevIoctlClient* client) {
    auto it = reapable_.find(client);
    if (it == reapable_.end())
        return;
    for (UMockdevIoctlData* urb : it->second)
        g_object_unref(urb);
    reapable_.erase(it);
}

EmulatedChip::Reply EmulatedChip::dispatch(UMockdevIoctlClient* client, unsigned long request,
                                           UMockdevIoctlData* arg) {
    if (!plugged_ && request != USBDEVFS_REAPURB && request != USBDEVFS_REAPURBNDELAY)
        return {-1, ENODEV};

    switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            DataRef caps = resolve(arg, 0, sizeof(std::uint32_t));
            if (!caps)
                return {-1, EFAULT};
            std::memcpy(caps->data, &kCapabilities, sizeof kCapabilities);
            return {};
        }
        case USBDEVFS_SUBMITURB:
            return submitUrb(client, arg);
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY:
            return reapUrb(client, arg);
        case USBDEVFS_DISCARDURB:
            return {-1, EINVAL};  // every URB completes at once: nothing left to discard
        case USBDEVFS_CLAIMINTERFACE:
            return claim(client, true);
        case USBDEVFS_RELEASEINTERFACE:
            return claim(client, false);
        case USBDEVFS_GETDRIVER:
            return getDriver(arg);
        case USBDEVFS_IOCTL:
            return driverControl(arg);
        case USBDEVFS_CLEAR_HALT:
        case USBDEVFS_RESETEP:
            return {};
        default:
            return {-1, ENOTTY};
    }
}

EmulatedChip::Reply EmulatedChip::submitUrb(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    DataRef urbData = resolve(arg, 0, sizeof(usbdevfs_urb));
    if (!urbData)
        return {-1, EFAULT};
    auto* urb = reinterpret_cast<usbdevfs_urb*>(urbData->data);
    const auto length = static_cast<std::size_t>(std::max(urb->buffer_length, 0));
    DataRef buffer;
    if (length > 0) {
        buffer = resolve(urbData.get(), offsetof(usbdevfs_urb, buffer), length);
        if (!buffer)
            return {-1, EFAULT};
    }
    std::uint8_t* bytes = buffer ? buffer->data : nullptr;

    Transfer t;
    t.endpoint = urb->endpoint;
    std::size_t actual = 0;
    if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
        if (length < kSetupSize)
            return {-1, EINVAL};
        t.kind = Transfer::Kind::Control;
        t.setup = setupFrom(bytes);
        if (auto fault = takeFault(t); fault && fault->error != 0) {
            t.status = -fault->error;
        } else {
            ControlAnswer answer = answerControl(spec_, t.setup);
            t.status = -answer.error;
            actual = std::min(answer.data.size(), length - kSetupSize);
            std::copy_n(answer.data.begin(), actual, bytes + kSetupSize);
        }
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == kBulkOutEndpoint) {
        t.kind = Transfer::Kind::BulkOut;
        t.payload.assign(bytes, bytes + length);
        actual = length;
        if (auto fault = takeFault(t)) {
            actual = std::min(fault->accepted.value_or(length), length);
            t.status = -fault->error;
        }
        t.accepted = actual;
    } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == kBulkInEndpoint) {
        // An FT232R starts every IN packet with its two modem status bytes.
        t.kind = Transfer::Kind::BulkIn;
        const std::uint8_t status[] = {0x01, 0x60};
        actual = std::min(length, sizeof status);
        std::copy_n(status, actual, bytes);
        if (auto fault = takeFault(t); fault && fault->error != 0) {
            t.status = -fault->error;
            actual = 0;
        }
    } else {
        return {-1, ENOENT};  // no such endpoint on this chip
    }

    transfers_.push_back(t);
    urb->status = t.status;
    urb->actual_length = static_cast<int>(actual);
    reapable_[client].push_back(urbData.release());
    return {};
}

EmulatedChip::Reply EmulatedChip::reapUrb(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
    auto& queue = reapable_[client];
    if (queue.empty())
        return {-1, plugged_ ? EAGAIN : ENODEV};
    DataRef slot = resolve(arg, 0, sizeof(void*));
    if (!slot)
        return {-1, EFAULT};
    // The slot keeps its own reference to the URB until the reply has been written back.
    DataRef urb(queue.front());
    queue.pop_front();
    if (!umockdev_ioctl_data_set_ptr(slot.get(), 0, urb.get()))
        return {-1, EFAULT};
    return {};
}

EmulatedChip::Reply EmulatedChip::claim(UMockdevIoctlClient* client, bool claiming) {
    if (auto fault = takeFault(claiming ? Target::Aim::Claim : Target::Aim::Release);
        fault && fault->error != 0) {
        return {-1, fault->error};
    }
    if (!claiming) {
        ++actions_.releases;
        if (claimedBy_ == client)
            claimedBy_ = nullptr;
        return {};
    }
    if (serialDriverBound_)
        return {-1, EBUSY};
    ++actions_.claims;
    claimedBy_ = client;
    return {};
}

EmulatedChip::Reply EmulatedChip::getDriver(UMockdevIoctlData* arg) {
    if (!serialDriverBound_)
        return {-1, ENODATA};
    DataRef d = resolve(arg, 0, sizeof(usbdevfs_getdriver));
    if (!d)
        return {-1, EFAULT};
    auto* query = reinterpret_cast<usbdevfs_getdriver*>(d->data);
    std::strncpy(query->driver, "ftdi_sio", sizeof query->driver - 1);
    return {};
}

EmulatedChip::Reply EmulatedChip::driverControl(UMockdevIoctlData* arg) {
    DataRef d = resolve(arg, 0, sizeof(usbdevfs_ioctl));
    if (!d)
        return {-1, EFAULT};
    const auto* command = reinterpret_cast<const usbdevfs_ioctl*>(d->data);
    switch (static_cast<unsigned long>(command->ioctl_code)) {
        case USBDEVFS_DISCONNECT:
            if (!serialDriverBound_)
                return {-1, ENODATA};  // no kernel driver to detach
            serialDriverBound_ = false;
            ++actions_.detaches;
            return {};
        case USBDEVFS_CONNECT:
            if (!serialDriverBound_) {
                serialDriverBound_ = true;
                ++actions_.reattaches;
            }
            return {};
        default:
            return {-1, ENOTTY};
    }
}

template <class Match>
std::optional<BusFault> EmulatedChip::takeFaultWhere(Match matches) {
    auto firing = faults_.end();
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (!matches(it->target))
            continue;
        const bool due = it->target.every || it->seen == it->target.nth;
        ++it->seen;
        if (due && firing == faults_.end())
            firing = it;
    }
    if (firing == faults_.end())
        return std::nullopt;
    BusFault fault = firing->fault;
    if (!firing->target.every)
        faults_.erase(firing);
    return fault;
}

std::optional<BusFault> EmulatedChip::takeFault(const Transfer& transfer) {
    return takeFaultWhere([&transfer](const Target& t) { return t.matches(transfer); });
}

std::optional<BusFault> EmulatedChip::takeFault(Target::Aim aim) {
    return takeFaultWhere([aim](const Target& t) { return t.aim == aim; });
}

void EmulatedChip::unplug() {
    std::lock_guard lock(mutex_);
    plugged_ = false;
}

bool EmulatedChip::plugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

void EmulatedChip::arm(Target target, BusFault fault) {
    std::lock_guard lock(mutex_);
    faults_.push_back({target, fault, 0});
}

void EmulatedChip::clearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

std::vector<Transfer> EmulatedChip::transfers() const {
    std::lock_guard lock(mutex_);
    return transfers_;
}

HostActions EmulatedChip::hostActions() {
    std::lock_guard lock(mutex_);
    noteClosedHandles();
    HostActions a = actions_;
    a.serialDriverBound = serialDriverBound_;
    a.claimed = claimedBy_ != nullptr;
    return a;
}

void EmulatedChip::forgetTraffic() {
    std::lock_guard lock(mutex_);
    transfers_.clear();
    actions_ = {};
    // A handle opened before now is not counted when its close is seen.
    for (Handle& handle : openHandles_)
        handle.countsClose = false;
}

}  // namespace stepctl::usbtest
