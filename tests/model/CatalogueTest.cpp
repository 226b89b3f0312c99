#include "Catalogue.h"

#include <gtest/gtest.h>

#include "DbCode.h"

namespace stepctl {
namespace {

constexpr InterfaceSet S = interfaceBit(Interface::Serial);
constexpr InterfaceSet P = interfaceBit(Interface::LatchedParallel);
constexpr InterfaceSet A = interfaceBit(Interface::SerialAddressable);

struct Row {
    const char* name;
    int top;
    double step;
    int sevenBit;
    InterfaceSet offered;
};

// The device list as the data sheet of the panel gives it: names, ranges and offered interfaces.
const Row kExpected[kDeviceCount] = {
    {"ZMG-A1", 63, 0.5, 0, S | P},   {"ZMG-A2", 63, 0.5, 0, S | P},
    {"ZMG-A3", 63, 0.5, 0, S | P},   {"ZMG-A4", 63, 0.5, 0, S | P},
    {"ZMG-A5", 63, 0.5, 0, S | P},   {"ZMT-A6", 63, 0.5, 0, S | P},
    {"ZMT-A7", 63, 0.5, 0, S | P},   {"ZMT-A8", 63, 0.5, 0, P | A},
    {"ZMG-B1", 127, 0.25, 1, S | P}, {"ZMG-B2", 127, 0.25, 1, S | P},
    {"ZMT-B3", 127, 0.25, 1, S | P}, {"ZMT-B4/B5", 127, 0.25, 1, P | A},
    {"ZMG-B6", 127, 0.25, 1, A},     {"ZMG-B7", 127, 0.25, 1, A},
    {"ZMG-C1", 63, 0.5, 0, S | P},
};

TEST(Catalogue, EveryRowMatchesTheDeviceList) {
    for (int row = 0; row < kDeviceCount; ++row) {
        SCOPED_TRACE(row);
        const Row& want = kExpected[row];
        EXPECT_EQ(catalogue()[static_cast<std::size_t>(row)].name, want.name);
        EXPECT_EQ(topCode(row), want.top);
        EXPECT_EQ(trackbarMax(row), want.top);
        EXPECT_DOUBLE_EQ(dbPerStep(row), want.step);
        EXPECT_FLOAT_EQ(scaleFactor(row), static_cast<float>(1.0 / want.step));
        EXPECT_EQ(sevenBitFlag(row), want.sevenBit);
        // Code 1 shows the step, the top code 31.50 or 31.75 dB.
        EXPECT_FLOAT_EQ(dbFromCode(row, 1), static_cast<float>(want.step));
        EXPECT_FLOAT_EQ(dbFromCode(row, want.top), want.sevenBit ? 31.75f : 31.5f);
        for (Interface iface : kInterfaces) {
            EXPECT_EQ(offers(row, iface), (want.offered & interfaceBit(iface)) != 0)
                << interfaceLabel(iface);
        }
    }
    EXPECT_EQ(groupOf(kDualRow), Group::DualSixBit);
    EXPECT_EQ(groupTraits(Group::DualSixBit).attenuators, 2);
}

TEST(Catalogue, RowsOutsideTheListFallIntoTheSevenBitGroupAndOfferNothing) {
    for (int row : {-1, 15, 1000, -2147483647 - 1}) {
        EXPECT_FALSE(isCatalogueRow(row));
        EXPECT_EQ(groupOf(row), Group::SevenBit);
        EXPECT_EQ(trackbarMax(row), 127);
        for (Interface iface : kInterfaces)
            EXPECT_FALSE(offers(row, iface));
    }
}

TEST(Catalogue, NamesAndInterfaceIndices) {
    EXPECT_EQ(rowByName("ZMT-B4/B5"), 11);
    EXPECT_EQ(rowByName("zmg-c1"), 14);
    EXPECT_EQ(rowByName("ZMG-C"), std::nullopt);
    EXPECT_EQ(rowByName(""), std::nullopt);
    EXPECT_EQ(interfaceFromIndex(1), Interface::LatchedParallel);
    EXPECT_EQ(interfaceFromIndex(2), Interface::SerialAddressable);
    for (int odd : {0, 3, -1, 99})
        EXPECT_EQ(interfaceFromIndex(odd), Interface::Serial);
}

}  // namespace
}  // namespace stepctl
