#include "Seconds.h"

#include <array>
#include <utility>

#include "Numeric.h"

namespace stepctl::instrument {

std::optional<std::chrono::duration<double>> readSeconds(const scpi::Parameter& parameter,
                                                         std::chrono::duration<double> def,
                                                         std::chrono::duration<double> max) {
    static constexpr std::array<std::pair<const char*, double>, 3> kUnits{
        {{"S", 1.0}, {"MS", 1e-3}, {"US", 1e-6}}};
    for (const auto& [unit, scale] : kUnits) {
        const auto numeric = scpi::readNumeric(parameter, unit);
        if (!numeric)
            continue;
        switch (numeric->word) {
            case scpi::Word::Min:
                return std::chrono::duration<double>(0.0);
            case scpi::Word::Max:
                return max;
            case scpi::Word::Def:
                return def;
            default:
                return std::chrono::duration<double>(numeric->value * scale);
        }
    }
    return std::nullopt;
}

}  // namespace stepctl::instrument
