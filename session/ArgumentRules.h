// Strict reading of the values a user types on the command line. Pure: text in, value or a
// one-line reason out. The panel reads a non-number as 0 dB; a script gets refused instead.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "Catalogue.h"
#include "Checked.h"
#include "Number.h"

namespace stepctl::session {

// A dB value: a number as model/Number reads it (sign, point, exponent; no infinity, NaN or
// hexadecimal form), which must be the whole text apart from an optional "dB" suffix and white
// space. A number beyond a double's range is refused.
Checked<Number> readDbNumber(std::string_view option, std::string_view text);

// The same as a float, as the panel's Send reads the text: beyond the float range is infinite.
Checked<float> readDb(std::string_view option, std::string_view text);

// The level a checked dB text asks for (0 for a text readDb refuses).
double typedDb(std::string_view text);

// A catalogue name (any case) or a row 0..14.
Checked<int> readDevice(std::string_view text);

// serial, parallel or addressable (any case).
Checked<Interface> readInterface(std::string_view text);

// A whole decimal number within min..max, nothing else in the text.
Checked<long long> readWholeNumber(std::string_view option, std::string_view text, long long min,
                                   long long max);

// A time in milliseconds, whole or decimal to the nanosecond ("0.05" is 50 us), at most
// `maxMs`; nothing else in the text. Read exactly, without binary rounding.
Checked<std::chrono::nanoseconds> readMilliseconds(std::string_view option, std::string_view text,
                                                   long long maxMs);

// Why `text` is not such a number ("is outside 0..7"), or empty when it is one.
std::string wholeNumberProblem(std::string_view text, long long min, long long max);

// The name a user types for an interface: "serial", "parallel", "addressable".
std::string_view interfaceName(Interface iface);

// The interfaces a row offers, by those names: "serial, parallel".
std::string offeredInterfaces(int row);

// Every catalogue name in row order, comma separated.
std::string deviceNames();

}  // namespace stepctl::session
