#include "UdevRules.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace stepctl::udevtest {
namespace {

struct KeyKind {
    std::string_view key;
    bool match;
    bool assign;
    bool attr;  // takes {name}
};

constexpr std::array<KeyKind, 28> kKeys{{
    {"ACTION", true, false, false},    {"DEVPATH", true, false, false},
    {"KERNEL", true, false, false},    {"KERNELS", true, false, false},
    {"SUBSYSTEM", true, false, false}, {"SUBSYSTEMS", true, false, false},
    {"DRIVER", true, false, false},    {"DRIVERS", true, false, false},
    {"ATTRS", true, false, true},      {"TAGS", true, false, false},
    {"TEST", true, false, false},      {"PROGRAM", true, false, false},
    {"RESULT", true, false, false},    {"CONST", true, false, true},
    {"NAME", true, true, false},       {"SYMLINK", true, true, false},
    {"ATTR", true, true, true},        {"SYSCTL", true, true, true},
    {"ENV", true, true, true},         {"TAG", true, true, false},
    {"OWNER", false, true, false},     {"GROUP", false, true, false},
    {"MODE", false, true, false},      {"SECLABEL", false, true, true},
    {"RUN", false, true, false},       {"LABEL", false, true, false},
    {"GOTO", false, true, false},      {"OPTIONS", false, true, false},
}};

const KeyKind* keyKind(std::string_view key) {
    for (const KeyKind& k : kKeys) {
        if (k.key == key)
            return &k;
    }
    return nullptr;
}

// Physical lines joined where a line ends in a backslash; each keeps its first line number.
std::vector<std::pair<int, std::string>> logicalLines(std::string_view text) {
    std::vector<std::pair<int, std::string>> out;
    std::string current;
    int start = 0;
    int number = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        ++number;
        if (current.empty())
            start = number;
        if (!line.empty() && line.back() == '\\') {
            current.append(line.substr(0, line.size() - 1));
        } else {
            current.append(line);
            out.emplace_back(start, std::move(current));
            current.clear();
        }
        pos = end + 1;
    }
    return out;
}

class RuleReader {
  public:
    explicit RuleReader(std::string_view text) : text_(text) {}

    // Fills rule.pairs, or returns what is wrong.
    std::string read(UdevRule& rule) {
        while (true) {
            skipSpace();
            UdevPair pair;
            if (std::string e = readPair(pair); !e.empty())
                return e;
            rule.pairs.push_back(std::move(pair));
            skipSpace();
            if (at_ == text_.size())
                return {};
            if (text_[at_] != ',')
                return "expected ',' before \"" + std::string(text_.substr(at_, 12)) + "\"";
            ++at_;
        }
    }

  private:
    void skipSpace() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])))
            ++at_;
    }

    std::string readPair(UdevPair& pair) {
        const std::size_t keyStart = at_;
        while (at_ < text_.size() &&
               (std::isupper(static_cast<unsigned char>(text_[at_])) || text_[at_] == '_'))
            ++at_;
        pair.key = text_.substr(keyStart, at_ - keyStart);
        if (pair.key.empty())
            return "expected a key at \"" + std::string(text_.substr(at_, 12)) + "\"";
        if (at_ < text_.size() && text_[at_] == '{') {
            const std::size_t close = text_.find('}', at_);
            if (close == std::string_view::npos)
                return "unclosed '{' after " + pair.key;
            pair.attr = text_.substr(at_ + 1, close - at_ - 1);
            at_ = close + 1;
        }
        skipSpace();
        for (std::string_view op : {"==", "!=", "+=", "-=", ":=", "="}) {
            if (text_.substr(at_, op.size()) == op) {
                pair.op = op;
                at_ += op.size();
                break;
            }
        }
        if (pair.op.empty())
            return "expected an operator after " + pair.key;
        skipSpace();
        if (at_ >= text_.size() || text_[at_] != '"')
            return "value of " + pair.key + " is not quoted";
        ++at_;
        while (at_ < text_.size() && text_[at_] != '"') {
            if (text_[at_] == '\\' && at_ + 1 < text_.size())
                ++at_;
            pair.value += text_[at_++];
        }
        if (at_ >= text_.size())
            return "unterminated value of " + pair.key;
        ++at_;
        return check(pair);
    }

    static std::string check(const UdevPair& pair) {
        const KeyKind* kind = keyKind(pair.key);
        if (kind == nullptr)
            return "unknown key " + pair.key;
        const bool isMatch = pair.op == "==" || pair.op == "!=";
        if (isMatch && !kind->match)
            return pair.key + " cannot be matched with " + pair.op;
        if (!isMatch && !kind->assign)
            return pair.key + " cannot be assigned with " + pair.op;
        if (kind->attr && pair.attr.empty())
            return pair.key + " needs {name}";
        return {};
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

}  // namespace

const UdevPair* UdevRule::find(std::string_view key, std::string_view attr,
                               std::string_view op) const {
    for (const UdevPair& p : pairs) {
        if (p.key == key && p.attr == attr && p.op == op)
            return &p;
    }
    return nullptr;
}

UdevFile parseUdevRules(std::string_view text) {
    UdevFile file;
    for (auto& [number, line] : logicalLines(text)) {
        const auto first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        UdevRule rule;
        rule.line = number;
        if (std::string error = RuleReader(line).read(rule); !error.empty())
            file.errors.push_back("line " + std::to_string(number) + ": " + error);
        else
            file.rules.push_back(std::move(rule));
    }
    return file;
}

std::set<std::string> alternatives(std::string_view pattern) {
    std::set<std::string> out;
    std::size_t pos = 0;
    while (true) {
        const std::size_t bar = pattern.find('|', pos);
        out.emplace(pattern.substr(pos, bar - pos));
        if (bar == std::string_view::npos)
            return out;
        pos = bar + 1;
    }
}

UdevOutcome applyUdevRules(const std::vector<UdevFile>& files, const UdevEvent& event) {
    UdevOutcome out;
    out.env = event.env;
    auto current = [&](const UdevPair& p, bool& known) -> std::string {
        known = true;
        if (p.key == "ACTION")
            return event.action;
        if (p.key == "SUBSYSTEM")
            return event.subsystem;
        if (p.key == "ENV")
            return out.env.contains(p.attr) ? out.env.at(p.attr) : "";
        if (p.key == "ATTR")
            return event.attrs.contains(p.attr) ? event.attrs.at(p.attr) : "";
        known = false;
        return {};
    };
    for (const UdevFile& file : files) {
        std::string jumpTo;
        for (const UdevRule& rule : file.rules) {
            if (!jumpTo.empty()) {
                const UdevPair* label = rule.find("LABEL", "", "=");
                if (label == nullptr || label->value != jumpTo)
                    continue;
                jumpTo.clear();
            }
            bool matches = true;
            for (const UdevPair& p : rule.pairs) {
                if (p.op != "==" && p.op != "!=")
                    continue;
                bool known = false;
                const std::string value = current(p, known);
                if (!known)
                    out.errors.push_back("line " + std::to_string(rule.line) + ": " + p.key +
                                         " is not modelled");
                const bool hit = alternatives(p.value).contains(value);
                matches = matches && (p.op == "==" ? hit : !hit);
            }
            if (!matches)
                continue;
            for (const UdevPair& p : rule.pairs) {
                if (p.key == "ENV" && p.op == "=")
                    out.env[p.attr] = p.value;
                else if (p.key == "TAG" && p.op == "+=")
                    out.tags.insert(p.value);
                else if (p.key == "GROUP")
                    out.group = p.value;
                else if (p.key == "MODE")
                    out.mode = p.value;
                else if (p.key == "GOTO")
                    jumpTo = p.value;
            }
        }
        if (!jumpTo.empty())
            out.errors.push_back("GOTO=\"" + jumpTo + "\" has no LABEL below it");
    }
    return out;
}

bool closedToOthers(std::string_view mode) {
    if (mode.empty() || mode.size() > 4 ||
        !std::all_of(mode.begin(), mode.end(), [](char c) { return c >= '0' && c <= '7'; }))
        return false;
    return mode.back() == '0';
}

}  // namespace stepctl::udevtest
