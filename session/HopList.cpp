#include "HopList.h"

#include "ArgumentRules.h"
#include "TextFormat.h"

namespace stepctl::session {
namespace {

std::string_view trim(std::string_view text) {
    constexpr std::string_view kSpace = " \t\r";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t comma = line.find(',', start);
        parts.push_back(trim(line.substr(start, comma - start)));
        if (comma == std::string_view::npos)
            return parts;
        start = comma + 1;
    }
}

// A level for the row, clamped as the Send clamps it, with a warning when it is.
Checked<std::string> readHop(const std::string& where, std::string_view text, int row,
                             Warnings& warnings) {
    const Checked<float> db = readDb(where, text);
    if (!db.ok())
        return db.bad();
    if (*db < 0.0f) {
        warnings.push_back(where + ": " + std::string(text) +
                           " dB is below 0 dB: clamped to 0.00 dB");
    } else if (*db > topDb(row)) {
        warnings.push_back(where + ": " + std::string(text) + " dB is above the top of " +
                           deviceLabel(row) + ": clamped to " + formatDb(topDb(row)) + " dB");
    }
    return std::string(text);
}

}  // namespace

Checked<std::vector<Step>> readHopList(std::string_view text, const SendRequest& target,
                                       std::chrono::nanoseconds dwell, Warnings& warnings) {
    return readHopList(text, target, dwell, warnings, false);
}

Checked<std::vector<Step>> readHopList(std::string_view text, const SendRequest& target,
                                       std::chrono::nanoseconds dwell, Warnings& warnings,
                                       bool decimalDwells) {
    const bool both = sendsBothCodes(target.row, target.iface);
    const std::string form = both ? "dB,dB2[,dwell_ms]" : "dB[,dwell_ms]";
    std::vector<Step> steps;
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        line = trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        const std::string where = "line " + std::to_string(number);
        const std::vector<std::string_view> parts = fields(line);
        const bool fits = both ? (parts.size() == 2 || parts.size() == 3)
                               : (parts.size() == 1 || parts.size() == 2 ||
                                  (parts.size() == 3 && parts[1].empty()));
        if (!fits) {
            return BadArgument{where + ": '" + std::string(line) + "' is not " + form + " for " +
                               deviceLabel(target.row)};
        }
        Step step;
        step.dwell = dwell;
        step.line = number;
        const Checked<std::string> first = readHop(where, parts[0], target.row, warnings);
        if (!first.ok())
            return first.bad();
        step.text1 = *first;
        if (both) {
            const Checked<std::string> second = readHop(where, parts[1], target.row, warnings);
            if (!second.ok())
                return second.bad();
            step.text2 = *second;
        }
        const std::size_t dwellField = both || parts.size() == 3 ? 2 : 1;
        if (parts.size() > dwellField && decimalDwells) {
            const auto exact =
                readMilliseconds(where + ": dwell_ms", parts[dwellField], 86'400'000);
            if (!exact.ok())
                return exact.bad();
            step.dwell = *exact;
        } else if (parts.size() > dwellField) {
            const Checked<long long> ms =
                readWholeNumber(where + ": dwell_ms", parts[dwellField], 0, 86'400'000);
            if (!ms.ok())
                return ms.bad();
            step.dwell = std::chrono::milliseconds(*ms);
        }
        if (steps.size() == kMaxHops)
            return BadArgument{where + ": a list holds at most " + std::to_string(kMaxHops) +
                               " settings"};
        steps.push_back(std::move(step));
    }
    if (steps.empty())
        return BadArgument{"the hop list holds no setting (one a line: " + form + ")"};
    return steps;
}

}  // namespace stepctl::session
