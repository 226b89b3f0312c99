// The one reading of a number a script types, for every automation face (command line, hop
// lists, SCPI, Python): a decimal number, never an infinity, a NaN or a hexadecimal form. Pure.
// The panel keeps its own atof-like reading (DbCode's scanDb).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace stepctl {

// mantissa x 10^exponent exactly, trailing zeros of the mantissa stripped (0 is 0 x 10^0).
struct Decimal {
    long long mantissa = 0;
    int exponent = 0;
};

enum class NumberProblem {
    None,
    NotANumber,  // no digits where a number starts
    TooLarge,    // beyond the range of a double
};

struct Number {
    double value = 0.0;            // the nearest double, always finite
    std::optional<Decimal> exact;  // when it has at most 18 significant digits
};

struct NumberScan {
    std::size_t length = 0;  // characters the number takes; 0 when there is none
    NumberProblem problem = NumberProblem::NotANumber;
    Number number;  // when problem is None
};

// The number at the very start of `text`: an optional sign ('+' or '-'), digits with an optional
// point and decimals (at least one digit in all), an optional exponent ("e-3"; an 'e' without
// digits is not part of the number). Nothing is skipped before it; what follows is the caller's.
NumberScan scanNumber(std::string_view text);

// The text that reads back as `d`, without exponent or trailing zeros: "0.3", "-12.25", "3".
std::string decimalText(Decimal d);

// `d` as a double, the nearest one.
double decimalValue(Decimal d);

// The exact decimal a float's shortest text names: 31.75f -> 3175 x 10^-2.
Decimal decimalOf(float value);

}  // namespace stepctl
