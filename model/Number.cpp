#include "Number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace stepctl {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr std::size_t kExactDigits = 18;  // every 18-digit mantissa fits a long long

}  // namespace

NumberScan scanNumber(std::string_view text) {
    NumberScan scan;
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t digitsStart = i;
    std::string digits;  // every digit before the exponent, the point left out
    long long fractionDigits = 0;
    while (i < text.size() && isDigit(text[i]))
        digits += text[i++];
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && isDigit(text[i]); ++i, ++fractionDigits)
            digits += text[i];
    }
    if (digits.empty())
        return scan;
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        const bool negativeExponent = j < text.size() && text[j] == '-';
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            for (; j < text.size() && isDigit(text[j]); ++j)
                exponent = std::min<long long>(exponent * 10 + (text[j] - '0'), 1'000'000'000);
            if (negativeExponent)
                exponent = -exponent;
            i = j;
        }
    }
    scan.length = i;

    // value = digits x 10^(exponent - fractionDigits), zeros at either end taken out.
    const std::size_t first = digits.find_first_not_of('0');
    const std::size_t last = digits.find_last_not_of('0');
    const bool zero = first == std::string::npos;
    const std::string significant = zero ? std::string() : digits.substr(first, last - first + 1);
    const long long scale =
        zero ? 0 : exponent - fractionDigits + static_cast<long long>(digits.size() - 1 - last);
    // Decimal exponent of the leading digit: at 309 and beyond no double holds the number.
    const long long magnitude = scale + static_cast<long long>(significant.size()) - 1;

    const char* begin = text.data() + digitsStart - (negative ? 1 : 0);  // from_chars takes no '+'
    const auto [end, ec] = std::from_chars(begin, text.data() + scan.length, scan.number.value,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (!zero && magnitude >= 0) {
            scan.problem = NumberProblem::TooLarge;
            scan.number.value = 0.0;
            return scan;
        }
        scan.number.value = negative ? -0.0 : 0.0;  // too small for a double: nothing left of it
    } else if (ec != std::errc() || end != text.data() + scan.length ||
               !std::isfinite(scan.number.value)) {
        scan.problem = NumberProblem::NotANumber;  // cannot happen: the grammar is from_chars'
        return scan;
    }
    scan.problem = NumberProblem::None;
    if (zero) {
        scan.number.exact = Decimal{};
    } else if (significant.size() <= kExactDigits && scale > -1'000'000 && scale < 1'000'000) {
        long long mantissa = 0;
        std::from_chars(significant.data(), significant.data() + significant.size(), mantissa);
        scan.number.exact = Decimal{negative ? -mantissa : mantissa, static_cast<int>(scale)};
    }
    return scan;
}

std::string decimalText(Decimal d) {
    std::string digits = std::to_string(d.mantissa < 0 ? -d.mantissa : d.mantissa);
    const std::string sign = d.mantissa < 0 ? "-" : "";
    if (d.exponent >= 0 || d.mantissa == 0)
        return sign + digits + std::string(d.mantissa == 0 ? 0 : d.exponent, '0');
    const std::size_t decimals = static_cast<std::size_t>(-static_cast<long long>(d.exponent));
    if (digits.size() <= decimals)
        digits.insert(0, decimals - digits.size() + 1, '0');
    digits.insert(digits.size() - decimals, 1, '.');
    while (digits.back() == '0')
        digits.pop_back();
    if (digits.back() == '.')
        digits.pop_back();
    return sign + digits;
}

double decimalValue(Decimal d) {
    const std::string text = std::to_string(d.mantissa) + "e" + std::to_string(d.exponent);
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

Decimal decimalOf(float value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    const NumberScan scan = scanNumber(std::string_view(text, written.ptr));
    return scan.number.exact.value_or(Decimal{});  // a float's shortest text has at most 9 digits
}

}  // namespace stepctl
