// The emulated chips only exist for a process that runs with umockdev's preload library, which
// redirects /sys, /dev and the device ioctls into the testbed.
#pragma once

namespace stepctl::usbtest {

inline constexpr const char* kUmockdevPreload = "libumockdev-preload.so.0";

// Returns at once when LD_PRELOAD already names the library; otherwise runs this same program
// again with it added to LD_PRELOAD and does not return (exits with 127 if that fails). Call it
// first in main(), before any thread starts. LD_PRELOAD is checked rather than
// umockdev_in_mock_environment(), which is false until a testbed exists and would loop.
void reexecWithUmockdevPreload(char** argv);

}  // namespace stepctl::usbtest
