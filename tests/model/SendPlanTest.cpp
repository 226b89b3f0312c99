#include "SendPlan.h"

#include <gtest/gtest.h>

#include "Catalogue.h"
#include "TextFormat.h"

namespace stepctl {
namespace {

constexpr int kSerial = 0, kParallel = 1, kAddressable = 2;

SendPlan plan(int row, int iface, int address, std::string_view t1, std::string_view t2 = "") {
    return planSend({row, iface, address, t1, t2});
}

TEST(SendPlan, SingleDeviceRowsSendTheQuantisedCode) {
    const SendPlan serial = plan(3, kSerial, 1, "10.7");
    EXPECT_EQ(serial.code1, 21);
    EXPECT_EQ(formatDb(serial.db1), "10.50");
    EXPECT_EQ(serial.dispatch, Dispatch::Single);
    EXPECT_EQ(serial.controlWord, 21);
    EXPECT_FALSE(serial.code2);

    const SendPlan parallel = plan(9, kParallel, 1, "10.7");
    EXPECT_EQ(parallel.code1, 42);
    EXPECT_EQ(formatDb(parallel.db1), "10.50");
    EXPECT_EQ(parallel.controlWord, 42);

    for (const char* text : {"", "-4", "abc"}) {
        const SendPlan zero = plan(0, kSerial, 1, text);
        EXPECT_EQ(zero.code1, 0);
        EXPECT_EQ(formatDb(zero.db1), "0.00");
        EXPECT_EQ(zero.dispatch, Dispatch::Single);
        EXPECT_EQ(zero.controlWord, 0);
    }
}

TEST(SendPlan, AddressableCarriesTheAddressAboveTheCode) {
    const SendPlan p = plan(12, kAddressable, 5, "1.25");
    EXPECT_EQ(p.code1, 5);
    EXPECT_EQ(p.dispatch, Dispatch::Single);
    EXPECT_EQ(p.controlWord, 1285);
    EXPECT_EQ(plan(7, kAddressable, 7, "31.5").controlWord, 7 * 256 + 63);
}

TEST(SendPlan, AddressableWithoutAnAddressSendsNothing) {
    for (int address : {-1, 8, 1000}) {
        const SendPlan p = plan(12, kAddressable, address, "1.25");
        EXPECT_EQ(p.dispatch, Dispatch::None) << address;
        EXPECT_EQ(p.code1, 5);  // the fields are still quantised and shown
    }
    // Off Serial Addressable the address list is not consulted.
    EXPECT_EQ(plan(3, kSerial, -1, "1").dispatch, Dispatch::Single);
}

TEST(SendPlan, DualRowQuantisesBothAndSendsThemTogether) {
    const SendPlan p = plan(kDualRow, kSerial, 1, "40", "7.3");
    EXPECT_EQ(p.code1, 63);
    EXPECT_EQ(formatDb(p.db1), "31.50");
    ASSERT_TRUE(p.code2);
    EXPECT_EQ(*p.code2, 14);
    EXPECT_EQ(formatDb(p.db2), "7.00");
    EXPECT_EQ(p.dispatch, Dispatch::Dual);
    // The dual frame is the same for Latched Parallel.
    EXPECT_EQ(plan(kDualRow, kParallel, 1, "40", "7.3").dispatch, Dispatch::Dual);
}

TEST(SendPlan, DualRowWithAddressableSendsOnlyTheFirstCodeAddressed) {
    const SendPlan p = plan(kDualRow, kAddressable, 3, "10", "5");
    EXPECT_EQ(p.dispatch, Dispatch::Single);
    EXPECT_EQ(p.controlWord, 3 * 256 + 20);
    ASSERT_TRUE(p.code2);  // still quantised and shown
    EXPECT_EQ(*p.code2, 10);
}

TEST(SendPlan, SecondFieldOffTheDualRowComesBackAsTyped) {
    const SendPlan p = plan(0, kSerial, 1, "1", "7.3");
    EXPECT_FALSE(p.code2);
    EXPECT_EQ(formatDb(p.db2), "7.30");
    EXPECT_EQ(formatDb(plan(0, kSerial, 1, "1", "").db2), "0.00");
    EXPECT_EQ(formatDb(plan(9, kSerial, 1, "1", "-99.999").db2), "-100.00");
}

}  // namespace
}  // namespace stepctl
