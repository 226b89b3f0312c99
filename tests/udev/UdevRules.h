// A reader for udev rule files, strict enough to catch what udev would reject or silently
// ignore: unknown keys, a match operator on an assignment key or the other way round, unquoted
// values, pairs without a comma between them.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace stepctl::udevtest {

struct UdevPair {
    std::string key;   // "ATTR"
    std::string attr;  // "idVendor" in ATTR{idVendor}; empty without braces
    std::string op;    // "==", "!=", "=", "+=", "-=", ":="
    std::string value;
};

struct UdevRule {
    int line = 0;  // where the rule starts, from 1
    std::vector<UdevPair> pairs;

    // The first pair with this key, attribute and operator, or nullptr.
    const UdevPair* find(std::string_view key, std::string_view attr, std::string_view op) const;
};

struct UdevFile {
    std::vector<UdevRule> rules;
    std::vector<std::string> errors;  // "line 3: ..."
};

UdevFile parseUdevRules(std::string_view text);

// The alternatives of a udev pattern: "6001|6010" gives {"6001", "6010"}.
std::set<std::string> alternatives(std::string_view pattern);

// True when a MODE value grants nothing to others (last octal digit 0).
bool closedToOthers(std::string_view mode);

}  // namespace stepctl::udevtest
