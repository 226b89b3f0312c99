#include "Numeric.h"

#include <array>
#include <utility>

#include "Number.h"

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

    const NumberScan scan = scanNumber(text);
    if (scan.problem != NumberProblem::None)
        return std::nullopt;
    std::string_view suffix = text.substr(scan.length);
    while (!suffix.empty() && (suffix.front() == ' ' || suffix.front() == '\t'))
        suffix.remove_prefix(1);
    if (!suffix.empty() && !sameText(suffix, unit))
        return std::nullopt;

    // The Send reads the number as typed, without a leading '+'.
    std::string_view number = text.substr(0, scan.length);
    if (number.front() == '+')
        number.remove_prefix(1);
    Numeric numeric;
    numeric.value = scan.number.value;
    numeric.number = std::string(number);
    return numeric;
}

}  // namespace stepctl::scpi
