#include "DbCode.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace stepctl {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithWord(std::string_view text, std::size_t pos, std::string_view word) {
    if (text.size() - pos < word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (lower(text[pos + i]) != word[i])
            return false;
    }
    return true;
}

// End of "inf", "infinity", "nan" or "nan(chars)" at pos, or pos when there is none.
std::size_t scanSpecial(std::string_view text, std::size_t pos) {
    if (startsWithWord(text, pos, "infinity"))
        return pos + 8;
    if (startsWithWord(text, pos, "inf"))
        return pos + 3;
    if (!startsWithWord(text, pos, "nan"))
        return pos;
    std::size_t end = pos + 3;
    if (end < text.size() && text[end] == '(') {
        std::size_t close = end + 1;
        while (close < text.size() && (isDigit(text[close]) || text[close] == '_' ||
                                       (lower(text[close]) >= 'a' && lower(text[close]) <= 'z'))) {
            ++close;
        }
        if (close < text.size() && text[close] == ')')
            end = close + 1;
    }
    return end;
}

struct Decimal {
    std::size_t end = 0;      // end of the number; equal to its start when there is none
    long long magnitude = 0;  // decimal exponent of the leading significant digit
    bool allZero = true;
};

Decimal scanDecimal(std::string_view text, std::size_t pos) {
    Decimal d;
    d.end = pos;
    std::size_t i = pos;
    std::size_t digits = 0;
    long long intDigits = 0;         // significant digits before the point
    long long leadingFracZeros = 0;  // zeros after the point before the first significant digit
    for (; i < text.size() && isDigit(text[i]); ++i, ++digits) {
        if (text[i] != '0' || !d.allZero) {
            d.allZero = false;
            ++intDigits;
        }
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && isDigit(text[i]); ++i, ++digits) {
            if (d.allZero) {
                if (text[i] == '0') {
                    ++leadingFracZeros;
                } else {
                    d.allZero = false;
                }
            }
        }
    }
    if (digits == 0)
        return d;
    d.end = i;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            negative = text[j++] == '-';
        if (j < text.size() && isDigit(text[j])) {
            for (; j < text.size() && isDigit(text[j]); ++j) {
                exponent = std::min<long long>(exponent * 10 + (text[j] - '0'), 1'000'000'000);
            }
            if (negative)
                exponent = -exponent;
            d.end = j;
        }
    }
    d.magnitude = (intDigits > 0 ? intDigits - 1 : -(leadingFracZeros + 1)) + exponent;
    return d;
}

float toFloat(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax)
        return std::numeric_limits<float>::infinity();
    if (value < -kMax)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

}  // namespace

DbScan scanDb(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    const std::size_t numberStart = pos;

    double value = 0.0;
    std::size_t end = scanSpecial(text, numberStart);
    if (end != numberStart) {
        value = startsWithWord(text, numberStart, "nan") ? std::numeric_limits<double>::quiet_NaN()
                                                         : std::numeric_limits<double>::infinity();
    } else {
        const Decimal d = scanDecimal(text, numberStart);
        end = d.end;
        if (end == numberStart)
            return {};
        const char* first = text.data() + numberStart;
        const char* last = text.data() + end;
        const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
        if (ec == std::errc::result_out_of_range) {
            value = d.magnitude >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
        } else if (ec != std::errc() || ptr != last) {
            return {};  // cannot happen: the scanner accepts only what from_chars reads
        }
    }
    return {toFloat(negative ? -value : value), end};
}

int clampCode(int row, int code) {
    return std::clamp(code, 0, topCode(row));
}

int codeFromDb(int row, float db) {
    const float scaled = db * scaleFactor(row);
    const int top = topCode(row);
    // Decide the ends before converting: a float outside int's range must never reach the cast.
    if (!(scaled > 0.0f))
        return 0;  // negative, zero or NaN
    if (scaled >= static_cast<float>(top))
        return top;
    return static_cast<int>(scaled);  // truncation toward zero
}

float dbFromCode(Group group, int code) {
    return static_cast<float>(static_cast<double>(code) * groupTraits(group).dbPerStep);
}

float dbFromCode(int row, int code) {
    return dbFromCode(groupOf(row), code);
}

}  // namespace stepctl
