#include "TextFormat.h"

#include <array>
#include <charconv>

namespace stepctl {

// std::to_chars never looks at the locale, unlike printf under a German LC_NUMERIC.

std::string formatCode(int code) {
    std::array<char, 16> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), code);
    return {buffer.data(), result.ptr};
}

std::string formatDb(float db) {
    // Wide enough for the largest float with two decimals and a sign.
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                      static_cast<double>(db), std::chars_format::fixed, 2);
    return {buffer.data(), result.ptr};
}

}  // namespace stepctl
