// Emulated FTDI FT232R chips for tests of the real USB road (libftdi1 -> libusb -> usbdevfs),
// without hardware, root or udevd.
//
// An EmulatedFt232r is a umockdev testbed: while it lives, libusb in this process sees only the
// chips plugged into it. Each chip has a sysfs entry (0403:6001, its strings, its descriptors)
// and a device node whose ioctls are answered here: interface claim and release, the kernel
// driver queries, and URBs. Every control transfer and every bulk transfer is recorded in order
// of submission; string descriptor requests are answered from the chip's strings.
//
// The process must run with libumockdev-preload.so.0 preloaded: call
// reexecWithUmockdevPreload(argv) first thing in main() (UmockdevPreload.h), or link the
// stepctl_usb_gtest_main target, or start the binary under umockdev-wrapper.
//
//     EmulatedFt232r bed;                      // no chip yet
//     ChipId chip = bed.plug({.serial = "A1"});
//     ... run FtdiLink / SendControlWord / the panel / the CLI ...
//     bed.controlRequests(chip);               // every setup packet, in order
//     bed.bulkWrites(chip);                    // the bytes of each bulk OUT the chip took
//
// Faults: bed.failTransfer(chip, Target::bulkOut(), BusFault::stall()) makes the next bulk OUT on
// that chip stall; Target::control(0x0B) picks the next SET_BITMODE request, and so on;
// Target::release().everyTime() makes every interface release fail until clearFaults().
// Hot-plug: unplug(chip) removes it from sysfs and fails every later ioctl on handles already
// open with ENODEV, as the kernel does; plug() may be called at any time.
//
// Child processes started while the bed lives (the CLI, say) see the same chips: they inherit
// LD_PRELOAD and UMOCKDEV_DIR, and their ioctls are answered and recorded here.
//
// Thread safety: the ioctls are answered on umockdev's worker thread; every accessor here may
// be called from the test's thread at any time. Only one bed may exist at a time.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Ft232rDevice.h"
#include "UsbTraffic.h"

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;

namespace stepctl::usbtest {

class EmulatedChip;

// A chip of a bed, numbered from 0 in the order of plug(). Stays valid after unplug().
using ChipId = std::size_t;

class EmulatedFt232r {
  public:
    // An empty bus. Throws std::runtime_error when the preload library is missing, rather than
    // let the code under test reach the machine's real USB devices.
    EmulatedFt232r();
    ~EmulatedFt232r();
    EmulatedFt232r(const EmulatedFt232r&) = delete;
    EmulatedFt232r& operator=(const EmulatedFt232r&) = delete;

    // Attaches a chip (an "add" uevent goes out). Each chip needs its own bus and address.
    // Throws std::runtime_error when umockdev refuses the device.
    ChipId plug(const ChipSpec& spec);
    // Detaches it: gone from sysfs ("remove" uevent), open handles fail with ENODEV.
    void unplug(ChipId chip);
    bool plugged(ChipId chip) const;
    const ChipSpec& spec(ChipId chip) const;
    std::size_t chipCount() const { return chips_.size(); }

    // The transfer `target` picks on this chip ends with `fault` instead. Several faults may
    // wait at once; each hits one transfer.
    void failTransfer(ChipId chip, Target target, BusFault fault);
    // Disarms every fault waiting on this chip, those set with Target::everyTime() included.
    void clearFaults(ChipId chip);

    // Everything submitted to the chip since it was plugged or since forgetTraffic().
    std::vector<Transfer> transfers(ChipId chip) const;
    // The setup packets of the control transfers, in order.
    std::vector<SetupPacket> controlRequests(ChipId chip) const;
    // The bytes the chip took from each bulk OUT transfer, in order.
    std::vector<std::vector<std::uint8_t>> bulkWrites(ChipId chip) const;
    // Opens, closes, claims, releases, driver detaches; whether the interface is held.
    HostActions hostActions(ChipId chip) const;
    // Waits until every handle opened on the chip has been seen closed (a close shows a moment
    // after it happened) and returns the actions then; after `timeout`, returns them as they are.
    HostActions hostActionsOnceClosed(ChipId chip,
                                      std::chrono::milliseconds timeout = std::chrono::seconds(2));
    // Clears the records of every chip (not the armed faults). The close of a handle opened
    // before is not counted.
    void forgetTraffic();

  private:
    struct Slot {
        std::shared_ptr<EmulatedChip> chip;
        UMockdevIoctlBase* handler = nullptr;
        bool attached = false;
    };
    const EmulatedChip& chip(ChipId id) const;

    UMockdevTestbed* testbed_ = nullptr;
    std::vector<Slot> chips_;
};

}  // namespace stepctl::usbtest
