// GoogleTest's main for test binaries that use the emulated chips.
#include <gtest/gtest.h>

#include "UmockdevPreload.h"

int main(int argc, char** argv) {
    stepctl::usbtest::reexecWithUmockdevPreload(argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
