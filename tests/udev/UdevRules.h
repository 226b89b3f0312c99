// A reader for udev rule files, strict enough to catch what udev would reject or silently
// ignore: unknown keys, a match operator on an assignment key or the other way round, unquoted
// values, pairs without a comma between them.
#pragma once

#include <map>
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

// One device event as the rules see it.
struct UdevEvent {
    std::string action;                        // "add", "change", "remove", "bind"
    std::string subsystem;                     // "usb"
    std::map<std::string, std::string> env;    // DEVTYPE, ...
    std::map<std::string, std::string> attrs;  // idVendor, idProduct
};

// What the rules did to it.
struct UdevOutcome {
    std::set<std::string> tags;
    std::string group;
    std::string mode;
    std::map<std::string, std::string> env;  // the event's properties afterwards
    std::vector<std::string> errors;         // a GOTO without its LABEL, a key not modelled
};

// Runs the files in order on one event, as udev does: == and != on ACTION, SUBSYSTEM, ENV and
// ATTR against |-alternatives (no globs); ENV, TAG, GROUP and MODE assignments; GOTO to a
// LABEL further down the same file.
UdevOutcome applyUdevRules(const std::vector<UdevFile>& files, const UdevEvent& event);

// The alternatives of a udev pattern: "6001|6010" gives {"6001", "6010"}.
std::set<std::string> alternatives(std::string_view pattern);

// True when a MODE value grants nothing to others (last octal digit 0).
bool closedToOthers(std::string_view mode);

}  // namespace stepctl::udevtest
