#include "ArgumentRules.h"

#include <gtest/gtest.h>

#include <clocale>

#include "SweepPlan.h"

namespace stepctl::session {
namespace {

TEST(ReadDb, TakesANumberWithAnOptionalDbSuffix) {
    struct Case {
        const char* text;
        float db;
    };
    for (const Case c : {Case{"10.7", 10.7f},
                         {"-3", -3.0f},
                         {"5dB", 5.0f},
                         {"5 dB", 5.0f},
                         {" 5db ", 5.0f},
                         {"5DB", 5.0f},
                         {"1e1", 10.0f},
                         {"+.5", 0.5f},
                         {"1e39", std::numeric_limits<float>::infinity()}}) {
        const Checked<float> db = readDb("--db", c.text);
        ASSERT_TRUE(db.ok()) << c.text << ": " << db.error();
        EXPECT_EQ(*db, c.db) << c.text;
    }
}

TEST(ReadDb, RefusesWhatIsNotWhollyANumber) {
    for (const char* text : {"", " ", "abc", "dB", "5dBm", "5 5", "0x10", "10,5", "inf", "-inf",
                             "nan", "5e", "1.2.3", "5 dB dB", "."}) {
        const Checked<float> db = readDb("--db2", text);
        ASSERT_FALSE(db.ok()) << "'" << text << "' was taken";
        EXPECT_EQ(db.error(), "--db2: '" + std::string(text) +
                                  "' is not a number in dB (for example 10.5 or 10.5dB)");
    }
}

TEST(ReadDb, ReadsThePointInACommaLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, STEPCTL_GERMAN_LOCALE) == nullptr)
        GTEST_SKIP() << STEPCTL_GERMAN_LOCALE " not installed";
    const Checked<float> db = readDb("--db", "10.75");
    std::setlocale(LC_ALL, before.c_str());
    ASSERT_TRUE(db.ok());
    EXPECT_EQ(*db, 10.75f);
}

TEST(ReadDevice, TakesNamesInAnyCaseAndRows) {
    EXPECT_EQ(*readDevice("ZMT-B4/B5"), 11);
    EXPECT_EQ(*readDevice("zmg-c1"), 14);
    EXPECT_EQ(*readDevice("14"), 14);
    for (const char* text : {"15", "-1", "99999999999999999999", "3x", "", "ZMG", "ZMG-A1 "}) {
        const Checked<int> row = readDevice(text);
        ASSERT_FALSE(row.ok()) << text;
        // Every refusal lists what would have been taken.
        EXPECT_NE(row.error().find("ZMG-A1, ZMG-A2"), std::string::npos) << row.error();
        EXPECT_NE(row.error().find("ZMG-C1"), std::string::npos);
    }
}

TEST(ReadWholeNumber, RefusesFractionsSignsOutOfRangeAndOverflow) {
    EXPECT_EQ(*readWholeNumber("--address", "7", 0, 7), 7);
    for (const char* text : {"", "-1", "+1", " 1", "x", "99999999999999999999"})
        EXPECT_FALSE(readWholeNumber("--address", text, 0, 7).ok()) << text;
}

TEST(SweepPoints, LandOnTheEndDespiteBinaryFractions) {
    const auto up = sweepPoints(0.0, 1.0, 0.1);
    ASSERT_TRUE(up.ok());
    ASSERT_EQ(up->size(), 11u);
    EXPECT_EQ(up->at(3), "0.3");  // not 0.30000000000000004, which could fall a step low
    EXPECT_EQ(up->back(), "1");

    const auto down = sweepPoints(2.0, 0.5, 0.5);
    EXPECT_EQ(*down, (std::vector<std::string>{"2", "1.5", "1", "0.5"}));
    EXPECT_EQ(*sweepPoints(3.0, 3.0, 1.0), (std::vector<std::string>{"3"}));
    EXPECT_EQ(*sweepPoints(0.0, 1.0, 0.75), (std::vector<std::string>{"0", "0.75"}));
}

TEST(SweepPoints, RefuseZeroNegativeAndRunawaySteps) {
    EXPECT_FALSE(sweepPoints(0.0, 1.0, 0.0).ok());
    EXPECT_FALSE(sweepPoints(0.0, 1.0, -0.5).ok());
    EXPECT_FALSE(sweepPoints(0.0, 31.75, 1e-9).ok());
    EXPECT_EQ(sweepPoints(0.0, 9999.0, 1.0)->size(), kMaxSweepPoints);
    EXPECT_FALSE(sweepPoints(0.0, 10000.0, 1.0).ok());
}

}  // namespace
}  // namespace stepctl::session
