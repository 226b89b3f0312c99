#include "TextFormat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <random>

#include "LocaleGuard.h"

namespace stepctl {
namespace {

std::string printfText(const char* format, double value) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// The texts must be exactly those of "%.2f" and "%d" in the C locale, ties and all.
TEST(TextFormat, MatchesPrintfInTheCLocale) {
    LocaleGuard c("C");
    for (float v : {0.0f, -0.0f, 0.125f, 0.375f, 2.675f, 7.3f, 10.5f, 31.75f, 1e30f, -1e-30f,
                    std::numeric_limits<float>::max(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()}) {
        EXPECT_EQ(formatDb(v), printfText("%.2f", v)) << v;
    }
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> dist(-1000.0f, 1000.0f);
    for (int i = 0; i < 20000; ++i) {
        const float v = dist(rng);
        ASSERT_EQ(formatDb(v), printfText("%.2f", v)) << v;
    }
    for (int code :
         {0, 1, 63, 127, -1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%d", code);
        EXPECT_EQ(formatCode(code), buffer);
    }
    EXPECT_NE(formatDb(std::numeric_limits<float>::quiet_NaN()).find("nan"), std::string::npos);
}

}  // namespace
}  // namespace stepctl
