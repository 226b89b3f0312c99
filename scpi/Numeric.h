// Numeric parameters: a decimal number with an optional unit, or one of the SCPI words.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Parser.h"

namespace stepctl::scpi {

enum class Word { None, Min, Max, Def, Up, Down };

struct Numeric {
    Word word = Word::None;
    double value = 0.0;  // when word is None
    std::string number;  // the number as sent, without its unit, when word is None
};

// "10.5", "+1.05E1", "10.5 DB", "10.5db", "MIN", "MAXimum", "DEF", "UP", "DOWN" (the words only
// when `steps` allows UP and DOWN). The unit, when given, must be `unit` in any case. Nothing
// for anything else: hex, infinities, a number that does not fit a double, another unit.
std::optional<Numeric> readNumeric(const Parameter& parameter, std::string_view unit,
                                   bool steps = false);

}  // namespace stepctl::scpi
