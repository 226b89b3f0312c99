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
                         {"+5", 5.0f},
                         {"1e39", std::numeric_limits<float>::infinity()}}) {
        const Checked<float> db = readDb("--db", c.text);
        ASSERT_TRUE(db.ok()) << c.text << ": " << db.error();
        EXPECT_EQ(*db, c.db) << c.text;
    }
}

TEST(ReadDb, RefusesWhatIsNotWhollyANumber) {
    for (const char* text : {"", " ", "abc", "dB", "5dBm", "5 5", "0x10", "10,5", "inf", "-inf",
                             "nan", "nan(1)", "+infinity", "inf5", "5e", "1.2.3", "5 dB dB", "."}) {
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

TEST(SweepLevels, CountWholeStepsOfTheTypedDecimals) {
    constexpr int kRow = 8;  // ZMG-B1, 0..31.75 dB by 0.25
    struct Case {
        const char *from, *to, *step;
        std::vector<std::string> some;  // first, second, ..., and last
        std::size_t size;
    };
    for (const Case& c : {Case{"0", "1", "0.1", {"0", "0.1", "0.2", "0.3", "1"}, 11},
                          {"0", "2", "0.2", {"0", "0.2", "2"}, 11},
                          {"0", "3", "0.3", {"0", "0.3", "3"}, 11},
                          {"1", "0", "0.1", {"1", "0.9", "0"}, 11},
                          {"+0", "1e0", "1e-1", {"0", "0.1", "1"}, 11},
                          {"2", "0.5", "0.5", {"2", "1.5", "0.5"}, 4},
                          {"0", "1", "0.75", {"0", "0.75"}, 2},
                          {"3", "3", "1", {"3"}, 1},
                          {"-5", "40", "10", {"0", "10", "30"}, 4},  // clamped to 0..31.75
                          {"40", "30", "0.75", {"31.75", "31", "30.25"}, 3}}) {
        SCOPED_TRACE(std::string(c.from) + ".." + c.to + " by " + c.step);
        Warnings warnings;
        const auto points = sweepLevels(kRow, c.from, c.to, c.step, warnings);
        ASSERT_TRUE(points.ok()) << points.error();
        ASSERT_EQ(points->size(), c.size);
        for (std::size_t i = 0; i + 1 < c.some.size(); ++i)
            EXPECT_EQ(points->at(i), c.some[i]);
        EXPECT_EQ(points->back(), c.some.back());
    }
}

TEST(SweepLevels, RefuseWhatIsNoLevelOrStep) {
    struct Case {
        const char *from, *to, *step, *error;
    };
    for (const Case& c : {Case{"nan(1)", "1", "0.1", "--from: 'nan(1)' is not a number"},
                          {"0", "inf", "0.1", "--to: 'inf' is not a number"},
                          {"0", "1", "nan", "--step: 'nan' is not a number"},
                          {"0", "1", "1e400", "--step: '1e400' is too large"},
                          {"0", "1", "0", "--step: must be above 0 dB"},
                          {"0", "1", "-0.5", "--step: must be above 0 dB"},
                          {"0", "31.75", "1e-9", "--step: 0.000000001 dB gives more than 10000"},
                          {"0", "1", "0.1000000000000000000001", "too many digits"}}) {
        Warnings warnings;
        const auto points = sweepLevels(8, c.from, c.to, c.step, warnings);
        ASSERT_FALSE(points.ok()) << c.from << " " << c.to << " " << c.step;
        EXPECT_NE(points.error().find(c.error), std::string::npos) << points.error();
    }
    EXPECT_EQ(sweepPoints({0, 0}, {9999, 0}, {1, 0})->size(), kMaxSweepPoints);
    EXPECT_FALSE(sweepPoints({0, 0}, {10000, 0}, {1, 0}).ok());
    EXPECT_EQ(*sweepPoints({0, 0}, {1, 0}, {1, 30}), (std::vector<std::string>{"0"}));
}

}  // namespace
}  // namespace stepctl::session
