#include "Number.h"

#include <gtest/gtest.h>

#include <string>

namespace stepctl {
namespace {

TEST(ScanNumber, ReadsDecimalsAndNothingElse) {
    struct Case {
        const char* text;
        std::size_t length;  // 0: no number
        double value;
        const char* exact;  // decimalText of the exact value; "" when there is none, nullptr: any
    };
    for (const Case c : {Case{"+5", 2, 5.0, "5"},
                         {"-.5e1", 5, -5.0, "-5"},
                         {"10.75dB", 5, 10.75, "10.75"},
                         {"0.1", 3, 0.1, "0.1"},
                         {"1.e2", 4, 100.0, "100"},
                         {"5e", 1, 5.0, "5"},  // an 'e' without digits is what follows
                         {"0x10", 1, 0.0, "0"},
                         {"1e-400", 6, 0.0, nullptr},  // below a double, exact all the same
                         {"1234567890123456789", 19, 1234567890123456789.0, ""},
                         {"0.000000000000000000001", 23, 1e-21, "0.000000000000000000001"},
                         {"nan(1)", 0, 0.0, ""},
                         {"inf", 0, 0.0, ""},
                         {"+infinity", 0, 0.0, ""},
                         {".", 0, 0.0, ""},
                         {" 5", 0, 0.0, ""},
                         {"", 0, 0.0, ""}}) {
        SCOPED_TRACE(c.text);
        const NumberScan scan = scanNumber(c.text);
        EXPECT_EQ(scan.length, c.length);
        EXPECT_EQ(scan.problem, c.length == 0 ? NumberProblem::NotANumber : NumberProblem::None);
        if (scan.problem != NumberProblem::None)
            continue;
        EXPECT_EQ(scan.number.value, c.value);
        if (c.exact != nullptr) {
            EXPECT_EQ(scan.number.exact ? decimalText(*scan.number.exact) : "", c.exact);
        }
    }
    EXPECT_EQ(scanNumber("1e400").problem, NumberProblem::TooLarge);
    EXPECT_EQ(scanNumber("-1e309").problem, NumberProblem::TooLarge);
}

TEST(DecimalText, WritesTheExactValueWithoutExponent) {
    struct Case {
        Decimal d;
        const char* text;
    };
    for (const Case c : {Case{{3, -1}, "0.3"},
                         {{-1225, -2}, "-12.25"},
                         {{5, -3}, "0.005"},
                         {{1, 2}, "100"},
                         {{0, 0}, "0"}}) {
        EXPECT_EQ(decimalText(c.d), c.text);
        EXPECT_EQ(decimalValue(c.d), std::stod(c.text));
    }
    EXPECT_EQ(decimalText(decimalOf(31.75f)), "31.75");
}

}  // namespace
}  // namespace stepctl
