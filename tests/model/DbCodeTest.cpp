#include "DbCode.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "LocaleGuard.h"
#include "TextFormat.h"

namespace stepctl {
namespace {

constexpr int kSixBitRow = 3;
constexpr int kSevenBitRow = 9;

struct Case {
    int row;
    const char* text;
    int code;
    const char* shown;  // "%.2f" of the code's dB value
};

void expectCases(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("row ") + std::to_string(c.row) + " text '" + c.text + "'");
        const int code = codeFromDbText(c.row, c.text);
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(formatDb(dbFromCode(c.row, code)), c.shown);
    }
}

TEST(CodeFromDb, QuantisesDownToTheStepAndClamps) {
    expectCases({
        {kSixBitRow, "31.5", 63, "31.50"},
        {kSixBitRow, "31.9", 63, "31.50"},
        {kSixBitRow, "0.49", 0, "0.00"},
        {kSixBitRow, "0.5", 1, "0.50"},
        {kSixBitRow, "10.7", 21, "10.50"},
        {kSixBitRow, "32", 63, "31.50"},
        {kSevenBitRow, "31.75", 127, "31.75"},
        {kSevenBitRow, "32", 127, "31.75"},
        {kSevenBitRow, "0.25", 1, "0.25"},
        {kSevenBitRow, "0.2", 0, "0.00"},
        {kSevenBitRow, "10.7", 42, "10.50"},
        {kDualRow, "7.3", 14, "7.00"},
        {kDualRow, "40", 63, "31.50"},
    });
}

TEST(CodeFromDb, ReadsTextTheWayAtofDoes) {
    expectCases({
        {kSixBitRow, "-3", 0, "0.00"},
        {kSixBitRow, "-0.3", 0, "0.00"},
        {kSixBitRow, "", 0, "0.00"},
        {kSixBitRow, "   ", 0, "0.00"},
        {kSixBitRow, "abc", 0, "0.00"},
        {kSixBitRow, "5dB", 10, "5.00"},
        {kSixBitRow, "1e1", 20, "10.00"},
        {kSixBitRow, " \t+7.3", 14, "7.00"},
        {kSixBitRow, ".5", 1, "0.50"},
        {kSixBitRow, "5.", 10, "5.00"},
        {kSixBitRow, "2e", 4, "2.00"},  // an exponent needs digits
        {kSixBitRow, "2e+x", 4, "2.00"},
        {kSixBitRow, "0x10", 0, "0.00"},  // no hexadecimal: "0" then letters
        {kSixBitRow, "+-3", 0, "0.00"},
        {kSixBitRow, "10,7", 20, "10.00"},  // a comma ends the number in every locale
        {kSevenBitRow, "1.25 dB", 5, "1.25"},
    });
}

TEST(CodeFromDb, HugeInfiniteAndNanValuesStayWithinTheRange) {
    const std::string nines(10000, '9');
    const std::string tiny = "0." + std::string(10000, '0') + "1";
    expectCases({
        {kSixBitRow, "1e39", 63, "31.50"},  // beyond float
        {kSixBitRow, "-1e39", 0, "0.00"},
        {kSixBitRow, "1e400", 63, "31.50"},  // beyond double
        {kSixBitRow, "1e-400", 0, "0.00"},
        {kSixBitRow, "1e99999999999999999999", 63, "31.50"},
        {kSixBitRow, "3e9", 63, "31.50"},  // scaled product beyond int
        {kSixBitRow, "-3e9", 0, "0.00"},
        {kSixBitRow, "inf", 63, "31.50"},
        {kSixBitRow, "-Infinity", 0, "0.00"},
        {kSixBitRow, "nan", 0, "0.00"},
        {kSixBitRow, "-nan(0x1)", 0, "0.00"},
        {kSevenBitRow, nines.c_str(), 127, "31.75"},
        {kSevenBitRow, tiny.c_str(), 0, "0.00"},
    });
    for (int row = -1; row <= kDeviceCount; ++row) {
        for (float v :
             {std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
              std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::infinity(),
              std::numeric_limits<float>::quiet_NaN()}) {
            const int code = codeFromDb(row, v);
            EXPECT_GE(code, 0);
            EXPECT_LE(code, topCode(row));
        }
    }
}

TEST(CodeFromDb, ClampKeepsCodesInRange) {
    EXPECT_EQ(clampCode(kSixBitRow, 100), 63);
    EXPECT_EQ(clampCode(kSevenBitRow, 128), 127);
    EXPECT_EQ(clampCode(kSevenBitRow, -1), 0);
    EXPECT_EQ(clampCode(kDualRow, 42), 42);
}

// The scanner must take the same prefix and give the same float as the C library's strtod in
// the C locale, for every text in the decimal grammar.
TEST(ScanDb, AgreesWithStrtodOnRandomDecimalTexts) {
    std::mt19937 rng(20261208);
    const std::string alphabet = "0123456789.eE+- x";
    LocaleGuard c("C");
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int length = static_cast<int>(rng() % 12);
        for (int k = 0; k < length; ++k)
            text += alphabet[rng() % alphabet.size()];
        if (text.find("0x") != std::string::npos || text.find("0X") != std::string::npos)
            continue;
        char* end = nullptr;
        const double expected = std::strtod(text.c_str(), &end);
        const DbScan scan = scanDb(text);
        ASSERT_EQ(scan.length, static_cast<std::size_t>(end - text.c_str())) << '"' << text << '"';
        if (std::fabs(expected) <= std::numeric_limits<float>::max()) {
            ASSERT_EQ(scan.value, static_cast<float>(expected)) << '"' << text << '"';
        }
    }
}

TEST(ScanDb, ReportsTheLengthOfTheNumber) {
    EXPECT_EQ(scanDb("  10.5dB").length, 6u);
    EXPECT_EQ(scanDb("abc").length, 0u);
    EXPECT_EQ(scanDb("-").length, 0u);
    EXPECT_EQ(scanDb("infinit").length, 3u);
    EXPECT_EQ(scanDb("nan(abc_1)x").length, 10u);
    EXPECT_EQ(scanDb("nan(").length, 3u);
}

// Reading and writing alike: the point, and no grouping, whatever LC_NUMERIC says.
TEST(CodeFromDb, PointIsTheSeparatorUnderAGermanLocale) {
    LocaleGuard german(STEPCTL_GERMAN_LOCALE);
    ASSERT_TRUE(german.active()) << STEPCTL_GERMAN_LOCALE " missing: run the set-up script";
    EXPECT_EQ(parseDb("10.7"), 10.7f);
    EXPECT_EQ(codeFromDbText(kSixBitRow, "10.7"), 21);
    EXPECT_EQ(formatDb(dbFromCode(kSixBitRow, 21)), "10.50");
    EXPECT_EQ(formatDb(-7.25f), "-7.25");
    EXPECT_EQ(formatDb(1234567.0f), "1234567.00");
}

}  // namespace
}  // namespace stepctl
