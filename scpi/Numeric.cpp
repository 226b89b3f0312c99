#include "Numeric.h"

#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace stepctl::scpi {
namespace {

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(a[i]) != upper(b[i]))
            return false;
    }
    return true;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the decimal number at the start of `text`, 0 when there is none: sign, digits with
// an optional point, an optional exponent. Stricter than from_chars, which takes "inf".
std::size_t numberLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const std::size_t exponentStart = j;
        while (j < text.size() && isDigit(text[j]))
            ++j;
        if (j > exponentStart)
            i = j;
    }
    return i;
}

}  // namespace

std::optional<Numeric> readNumeric(const Parameter& parameter, std::string_view unit, bool steps) {
    if (parameter.quoted)
        return std::nullopt;
    const std::string_view text = parameter.text;
    static constexpr std::array<std::pair<std::string_view, Word>, 8> kWords{{
        {"MIN", Word::Min},
        {"MINIMUM", Word::Min},
        {"MAX", Word::Max},
        {"MAXIMUM", Word::Max},
        {"DEF", Word::Def},
        {"DEFAULT", Word::Def},
        {"UP", Word::Up},
        {"DOWN", Word::Down},
    }};
    for (const auto& [name, word] : kWords) {
        if (sameText(text, name)) {
            if (!steps && (word == Word::Up || word == Word::Down))
                return std::nullopt;
            return Numeric{word, 0.0, {}};
        }
    }

    const std::size_t length = numberLength(text);
    if (length == 0)
        return std::nullopt;
    std::string_view suffix = text.substr(length);
    while (!suffix.empty() && (suffix.front() == ' ' || suffix.front() == '\t'))
        suffix.remove_prefix(1);
    if (!suffix.empty() && !sameText(suffix, unit))
        return std::nullopt;

    // from_chars takes no leading '+'.
    std::string_view number = text.substr(0, length);
    const std::string_view digits = number.front() == '+' ? number.substr(1) : number;
    Numeric numeric;
    const auto [end, ec] =
        std::from_chars(digits.data(), digits.data() + digits.size(), numeric.value);
    if (ec != std::errc() || end != digits.data() + digits.size() || !std::isfinite(numeric.value))
        return std::nullopt;
    numeric.number = std::string(digits);
    return numeric;
}

}  // namespace stepctl::scpi
