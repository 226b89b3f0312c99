#include "SendPlan.h"

#include <gtest/gtest.h>

#include "Catalogue.h"
#include "TextFormat.h"

namespace stepctl {
namespace {

constexpr int kSerial = 0, kParallel = 1, kAddressable = 2;
constexpr int kNoCode = -1;

struct PlanCase {
    const char* what;
    int row, iface, address;
    const char *text1, *text2;
    Dispatch dispatch;
    std::int32_t word;  // checked for Dispatch::Single
    int code1;
    int code2;  // kNoCode off the dual row
    const char *db1, *db2;
};

// What one Send computes: the quantising itself is DbCode's; here the dispatch, the control
// word and what goes back into the fields.
// clang-format off
const PlanCase kPlans[] = {
    {"single row: the code is the word", 3, kSerial, 1, "10.7", "",
     Dispatch::Single, 21, 21, kNoCode, "10.50", "0.00"},
    {"7-bit row, Latched Parallel", 9, kParallel, 1, "10.7", "",
     Dispatch::Single, 42, 42, kNoCode, "10.50", "0.00"},
    {"no number sends code 0", 0, kSerial, 1, "abc", "",
     Dispatch::Single, 0, 0, kNoCode, "0.00", "0.00"},
    {"addressable: address above the code", 12, kAddressable, 5, "1.25", "",
     Dispatch::Single, 1285, 5, kNoCode, "1.25", "0.00"},
    {"addressable 6-bit, address 7", 7, kAddressable, 7, "31.5", "",
     Dispatch::Single, 7 * 256 + 63, 63, kNoCode, "31.50", "0.00"},
    // No selected address: nothing is sent, the fields are still quantised and shown.
    {"addressable, no address (-1)", 12, kAddressable, -1, "1.25", "",
     Dispatch::None, 0, 5, kNoCode, "1.25", "0.00"},
    {"addressable, address 8", 12, kAddressable, 8, "1.25", "",
     Dispatch::None, 0, 5, kNoCode, "1.25", "0.00"},
    {"addressable, address 1000", 12, kAddressable, 1000, "1.25", "",
     Dispatch::None, 0, 5, kNoCode, "1.25", "0.00"},
    {"the address list only counts for addressable", 3, kSerial, -1, "1", "",
     Dispatch::Single, 2, 2, kNoCode, "1.00", "0.00"},
    {"dual row, Serial: both codes", kDualRow, kSerial, 1, "40", "7.3",
     Dispatch::Dual, 0, 63, 14, "31.50", "7.00"},
    {"dual row, Latched Parallel: the same", kDualRow, kParallel, 1, "40", "7.3",
     Dispatch::Dual, 0, 63, 14, "31.50", "7.00"},
    // The second code is computed and shown, but only the first goes out, addressed.
    {"dual row, Serial Addressable", kDualRow, kAddressable, 3, "10", "5",
     Dispatch::Single, 3 * 256 + 20, 20, 10, "10.00", "5.00"},
    // Off the dual row the second field comes back as typed: neither quantised nor clamped.
    {"second field off the dual row", 0, kSerial, 1, "1", "7.3",
     Dispatch::Single, 2, 2, kNoCode, "1.00", "7.30"},
    {"second field negative, 7-bit row", 9, kSerial, 1, "1", "-99.999",
     Dispatch::Single, 4, 4, kNoCode, "1.00", "-100.00"},
};
// clang-format on

TEST(SendPlan, DispatchWordAndShownValues) {
    for (const PlanCase& c : kPlans) {
        SCOPED_TRACE(c.what);
        const SendPlan p = planSend({c.row, c.iface, c.address, c.text1, c.text2});
        EXPECT_EQ(p.dispatch, c.dispatch);
        if (c.dispatch == Dispatch::Single) {
            EXPECT_EQ(p.controlWord, c.word);
        }
        EXPECT_EQ(p.code1, c.code1);
        EXPECT_EQ(p.code2.value_or(kNoCode), c.code2);
        EXPECT_EQ(formatDb(p.db1), c.db1);
        EXPECT_EQ(formatDb(p.db2), c.db2);
    }
}

}  // namespace
}  // namespace stepctl
