#include "EmulatedFt232r.h"

#include <umockdev.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>

#include "EmulatedChip.h"
#include "UmockdevPreload.h"

namespace stepctl::usbtest {
namespace {

// Each signal connection holds the chip alive until umockdev drops the handler, so a late call
// from the worker thread never meets a destroyed chip.
using ChipRef = std::shared_ptr<EmulatedChip>;

EmulatedChip& chipOf(gpointer data) {
    return **static_cast<ChipRef*>(data);
}

gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    chipOf(data).handleIoctl(client);
    return TRUE;
}

void onConnected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    chipOf(data).clientConnected(client);
}

void onVanished(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
    chipOf(data).clientVanished(client);
}

void dropChipRef(gpointer data, GClosure*) {
    delete static_cast<ChipRef*>(data);
}

template <typename Handler>
void connect(UMockdevIoctlBase* handler, const char* signal, Handler function,
             const ChipRef& chip) {
    g_signal_connect_data(handler, signal, G_CALLBACK(function), new ChipRef(chip), dropChipRef,
                          GConnectFlags{});
}

std::runtime_error umockdevError(const std::string& what, GError* error) {
    std::string message = what + ": " + (error != nullptr ? error->message : "failed");
    if (error != nullptr)
        g_error_free(error);
    return std::runtime_error(message);
}

}  // namespace

EmulatedFt232r::EmulatedFt232r() : testbed_(umockdev_testbed_new()) {
    // Without the preload library libusb would see the machine's real USB bus, and the tests
    // would talk to whatever FTDI chip is plugged in. A file in the testbed's sysfs shows
    // whether /sys is redirected.
    gchar* sys = umockdev_testbed_get_sys_dir(testbed_);
    const std::string marker = std::string(sys) + "/stepctl-testbed";
    g_free(sys);
    if (FILE* f = std::fopen(marker.c_str(), "w"))
        std::fclose(f);
    if (::access("/sys/stepctl-testbed", F_OK) != 0) {
        g_object_unref(testbed_);
        throw std::runtime_error(std::string(kUmockdevPreload) +
                                 " is not preloaded: the USB tests would reach real devices");
    }
}

EmulatedFt232r::~EmulatedFt232r() {
    for (Slot& slot : chips_) {
        if (slot.attached)
            umockdev_testbed_detach_ioctl(testbed_, deviceNode(slot.chip->spec()).c_str(), nullptr);
    }
    // The testbed goes first: it stops the worker thread that calls the handlers.
    g_object_unref(testbed_);
    for (Slot& slot : chips_)
        g_object_unref(slot.handler);
}

ChipId EmulatedFt232r::plug(const ChipSpec& spec) {
    const std::string node = deviceNode(spec);
    for (Slot& slot : chips_) {
        const ChipSpec& other = slot.chip->spec();
        if (other.bus != spec.bus || other.address != spec.address)
            continue;
        if (slot.chip->plugged())
            throw std::runtime_error("bus " + std::to_string(spec.bus) + " address " +
                                     std::to_string(spec.address) + " is taken");
        // The same address again after an unplug: the old handler gives way.
        if (slot.attached)
            umockdev_testbed_detach_ioctl(testbed_, node.c_str(), nullptr);
        slot.attached = false;
    }

    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, umockdevDescription(spec).c_str(), &error))
        throw umockdevError("adding " + node, error);

    Slot slot{std::make_shared<EmulatedChip>(spec), umockdev_ioctl_base_new(), false};
    connect(slot.handler, "handle-ioctl", onIoctl, slot.chip);
    connect(slot.handler, "client-connected", onConnected, slot.chip);
    connect(slot.handler, "client-vanished", onVanished, slot.chip);
    if (!umockdev_testbed_attach_ioctl(testbed_, node.c_str(), slot.handler, &error)) {
        g_object_unref(slot.handler);
        throw umockdevError("attaching to " + node, error);
    }
    slot.attached = true;
    chips_.push_back(std::move(slot));
    return chips_.size() - 1;
}

void EmulatedFt232r::unplug(ChipId id) {
    Slot& slot = chips_.at(id);
    if (!slot.chip->plugged())
        return;
    slot.chip->unplug();
    const std::string path = sysfsPath(slot.chip->spec());
    umockdev_testbed_uevent(testbed_, path.c_str(), "remove");
    umockdev_testbed_remove_device(testbed_, path.c_str());
}

bool EmulatedFt232r::plugged(ChipId id) const {
    return chip(id).plugged();
}

const ChipSpec& EmulatedFt232r::spec(ChipId id) const {
    return chip(id).spec();
}

void EmulatedFt232r::failTransfer(ChipId id, Target target, BusFault fault) {
    chips_.at(id).chip->arm(target, fault);
}

void EmulatedFt232r::clearFaults(ChipId id) {
    chips_.at(id).chip->clearFaults();
}

std::vector<Transfer> EmulatedFt232r::transfers(ChipId id) const {
    return chip(id).transfers();
}

std::vector<SetupPacket> EmulatedFt232r::controlRequests(ChipId id) const {
    std::vector<SetupPacket> out;
    for (const Transfer& t : transfers(id)) {
        if (t.kind == Transfer::Kind::Control)
            out.push_back(t.setup);
    }
    return out;
}

std::vector<std::vector<std::uint8_t>> EmulatedFt232r::bulkWrites(ChipId id) const {
    std::vector<std::vector<std::uint8_t>> out;
    for (const Transfer& t : transfers(id)) {
        if (t.kind == Transfer::Kind::BulkOut)
            out.emplace_back(t.payload.begin(), t.payload.begin() + static_cast<long>(t.accepted));
    }
    return out;
}

HostActions EmulatedFt232r::hostActions(ChipId id) const {
    return chips_.at(id).chip->hostActions();
}

HostActions EmulatedFt232r::hostActionsOnceClosed(ChipId id, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    HostActions actions = hostActions(id);
    while (actions.closes < actions.opens && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        actions = hostActions(id);
    }
    return actions;
}

void EmulatedFt232r::forgetTraffic() {
    for (Slot& slot : chips_)
        slot.chip->forgetTraffic();
}

const EmulatedChip& EmulatedFt232r::chip(ChipId id) const {
    return *chips_.at(id).chip;
}

}  // namespace stepctl::usbtest
