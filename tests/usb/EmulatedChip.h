// One emulated FT232R behind its device node: answers the usbdevfs ioctls libusb issues and
// records what reaches the chip. Internal to the emulation; tests use EmulatedFt232r.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "Ft232rDevice.h"
#include "UsbTraffic.h"

typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

namespace stepctl::usbtest {

class EmulatedChip {
  public:
    explicit EmulatedChip(ChipSpec spec);
    ~EmulatedChip();
    EmulatedChip(const EmulatedChip&) = delete;
    EmulatedChip& operator=(const EmulatedChip&) = delete;

    // umockdev's worker thread. Every ioctl is completed before these return.
    void handleIoctl(UMockdevIoctlClient* client);
    void clientConnected(UMockdevIoctlClient* client);
    void clientVanished(UMockdevIoctlClient* client);

    // The test's thread.
    const ChipSpec& spec() const { return spec_; }
    void unplug();  // from now on every ioctl on an open handle fails with ENODEV
    bool plugged() const;
    void arm(Target target, BusFault fault);
    void clearFaults();
    std::vector<Transfer> transfers() const;
    HostActions hostActions();
    void forgetTraffic();

  private:
    struct Reply {
        long result = 0;
        int error = 0;
    };
    struct ArmedFault {
        Target target;
        BusFault fault;
        int seen = 0;
    };

    Reply dispatch(UMockdevIoctlClient* client, unsigned long request, UMockdevIoctlData* arg);
    Reply submitUrb(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    Reply reapUrb(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    Reply claim(UMockdevIoctlClient* client, bool claiming);
    Reply getDriver(UMockdevIoctlData* arg);
    Reply driverControl(UMockdevIoctlData* arg);
    void noteClosedHandles();
    void dropUrbsOf(UMockdevIoctlClient* client);
    std::optional<BusFault> takeFault(const Transfer& transfer);
    std::optional<BusFault> takeFault(Target::Aim aim);
    template <class Match>
    std::optional<BusFault> takeFaultWhere(Match matches);

    const ChipSpec spec_;
    mutable std::mutex mutex_;
    bool plugged_ = true;
    bool serialDriverBound_;
    std::vector<Transfer> transfers_;
    HostActions actions_;
    std::vector<ArmedFault> faults_;
    UMockdevIoctlClient* claimedBy_ = nullptr;  // the handle that holds the interface
    struct Handle {
        UMockdevIoctlClient* client;  // a reference of ours
        bool countsClose;             // opened since the records were last cleared
    };
    std::vector<Handle> openHandles_;
    // Completed URBs waiting to be reaped, per open handle. Each holds a reference.
    std::map<UMockdevIoctlClient*, std::deque<UMockdevIoctlData*>> reapable_;
};

}  // namespace stepctl::usbtest
