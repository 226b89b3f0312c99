// The code-from-dB rule over arbitrary text: every row gives a code within 0..top, the text
// shown back for that code reads as the same code again, and the number read is the one the C
// library's strtod reads in the C locale.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "Catalogue.h"
#include "DbCode.h"
#include "TextFormat.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "property failed: %s\n", what);
        std::abort();
    }
}

// strtod reads hexadecimal numbers; the panel's rule does not.
bool startsHex(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::strchr(" \t\n\v\f\r", text[i]) != nullptr)
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    return i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    using namespace stepctl;

    for (int row = -1; row <= kDeviceCount; ++row) {
        const int code = codeFromDbText(row, text);
        check(code >= 0 && code <= topCode(row), "code within 0..top");
        check(codeFromDbText(row, formatDb(dbFromCode(row, code))) == code,
              "the shown value reads back as the same code");
    }

    // strtod stops at an embedded NUL; so does the comparison.
    const std::string cText = text.substr(0, text.find('\0'));
    if (!startsHex(cText)) {
        const DbScan scan = scanDb(cText);
        char* end = nullptr;
        const double expected = std::strtod(cText.c_str(), &end);
        check(scan.length == static_cast<std::size_t>(end - cText.c_str()),
              "same prefix as strtod");
        if (std::isnan(expected)) {
            check(std::isnan(scan.value), "NaN as strtod");
        } else if (std::fabs(expected) <= std::numeric_limits<float>::max()) {
            check(scan.value == static_cast<float>(expected), "same value as strtod");
        } else {
            check(std::isinf(scan.value) && std::signbit(scan.value) == std::signbit(expected),
                  "beyond float is infinite");
        }
    }
    return 0;
}
