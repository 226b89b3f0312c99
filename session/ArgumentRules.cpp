#include "ArgumentRules.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace stepctl::session {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view skipSpace(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

BadArgument badValue(std::string_view option, std::string_view text, std::string_view why) {
    return {std::string(option) + ": '" + std::string(text) + "' " + std::string(why)};
}

}  // namespace

Checked<Number> readDbNumber(std::string_view option, std::string_view text) {
    constexpr std::string_view kNotANumber = "is not a number in dB (for example 10.5 or 10.5dB)";
    const std::string_view start = skipSpace(text);
    const NumberScan scan = scanNumber(start);
    if (scan.problem == NumberProblem::TooLarge)
        return badValue(option, text, "is too large a number");
    if (scan.problem != NumberProblem::None)
        return badValue(option, text, kNotANumber);
    std::string_view rest = skipSpace(start.substr(scan.length));
    if (rest.size() >= 2 && equalsIgnoringCase(rest.substr(0, 2), "dB"))
        rest = skipSpace(rest.substr(2));
    if (!rest.empty())
        return badValue(option, text, kNotANumber);
    return scan.number;
}

Checked<float> readDb(std::string_view option, std::string_view text) {
    const Checked<Number> number = readDbNumber(option, text);
    if (!number.ok())
        return number.bad();
    constexpr double kFloatMax = std::numeric_limits<float>::max();
    // As the panel's Send reads the same text: beyond the float range is infinite.
    if (std::fabs(number->value) > kFloatMax)
        return number->value < 0.0 ? -std::numeric_limits<float>::infinity()
                                   : std::numeric_limits<float>::infinity();
    return static_cast<float>(number->value);
}

double typedDb(std::string_view text) {
    const Checked<Number> number = readDbNumber("", text);
    return number.ok() ? number->value : 0.0;
}

Checked<int> readDevice(std::string_view text) {
    long long row = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), row);
    if (!text.empty() && ec == std::errc() && end == text.data() + text.size()) {
        if (row < 0 || row >= kDeviceCount)
            return badValue("--device", text, "is not a row 0..14; valid names: " + deviceNames());
        return static_cast<int>(row);
    }
    if (const auto found = rowByName(text))
        return *found;
    return badValue("--device", text, "is not a known device; valid names: " + deviceNames());
}

Checked<Interface> readInterface(std::string_view text) {
    for (Interface iface : kInterfaces) {
        if (equalsIgnoringCase(text, interfaceName(iface)))
            return iface;
    }
    return badValue("--interface", text, "is not one of serial, parallel, addressable");
}

namespace {

struct WholeNumber {
    long long value = 0;
    std::string problem;  // empty when the text is one
};

WholeNumber scanWholeNumber(std::string_view text, long long min, long long max) {
    WholeNumber n;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n.value);
    const std::string range = std::to_string(min) + ".." + std::to_string(max);
    if (text.empty() || ec == std::errc::invalid_argument || end != text.data() + text.size())
        n.problem = "is not a whole number " + range;
    else if (ec == std::errc::result_out_of_range || n.value < min || n.value > max)
        n.problem = "is outside " + range;
    return n;
}

}  // namespace

Checked<long long> readWholeNumber(std::string_view option, std::string_view text, long long min,
                                   long long max) {
    const WholeNumber n = scanWholeNumber(text, min, max);
    if (!n.problem.empty())
        return badValue(option, text, n.problem);
    return n.value;
}

Checked<std::chrono::nanoseconds> readMilliseconds(std::string_view option, std::string_view text,
                                                   long long maxMs) {
    const std::string range = "0.." + std::to_string(maxMs) + " ms";
    // Read by the one number reader; a dwell is written plainly besides: digits with an
    // optional decimal part, no sign, exponent or bare point.
    const NumberScan scan = scanNumber(text);
    const bool plain = !text.empty() && text.front() >= '0' && text.front() <= '9' &&
                       text.back() != '.' && text.find_first_of("eE+-") == std::string_view::npos;
    if (!plain || scan.problem != NumberProblem::None || scan.length != text.size())
        return badValue(option, text, "is not a time in ms " + range + " (for example 2 or 0.05)");
    // More than 18 significant digits within the range means more than six decimals.
    if (!scan.number.exact || scan.number.exact->exponent < -6)
        return badValue(option, text, "is finer than a nanosecond");
    long long ns = scan.number.exact->mantissa;
    for (int i = scan.number.exact->exponent + 6; i > 0; --i) {
        if (ns > maxMs * 1'000'000)
            break;  // outside already; no overflow
        ns *= 10;
    }
    if (ns > maxMs * 1'000'000)
        return badValue(option, text, "is outside " + range);
    return std::chrono::nanoseconds(ns);
}

std::string wholeNumberProblem(std::string_view text, long long min, long long max) {
    const WholeNumber n = scanWholeNumber(text, min, max);
    return n.problem.empty() ? std::string() : "'" + std::string(text) + "' " + n.problem;
}

std::string_view interfaceName(Interface iface) {
    switch (iface) {
        case Interface::LatchedParallel:
            return "parallel";
        case Interface::SerialAddressable:
            return "addressable";
        case Interface::Serial:
            break;
    }
    return "serial";
}

std::string offeredInterfaces(int row) {
    std::string names;
    for (Interface iface : kInterfaces) {
        if (offers(row, iface))
            names += (names.empty() ? "" : ", ") + std::string(interfaceName(iface));
    }
    return names;
}

std::string deviceNames() {
    std::string names;
    for (const DeviceEntry& entry : catalogue())
        names += (names.empty() ? "" : ", ") + std::string(entry.name);
    return names;
}

}  // namespace stepctl::session
