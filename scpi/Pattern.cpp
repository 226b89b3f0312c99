#include "Pattern.h"

#include <string>

namespace stepctl::scpi {
namespace {

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

Pattern::Pattern(std::string_view text) {
    if (!text.empty() && text.front() == '*') {
        common_ = true;
        text.remove_prefix(1);
    }
    PatternNode node;
    bool inBracket = false;
    auto finish = [&] {
        if (!node.longForm.empty())
            nodes_.push_back(node);
        node = PatternNode{};
        node.optional = inBracket;
    };
    for (const char c : text) {
        if (c == '[') {
            finish();
            inBracket = true;
            node.optional = true;
        } else if (c == ']') {
            finish();
            inBracket = false;
            node.optional = false;
        } else if (c == ':') {
            finish();
        } else if (c == '#') {
            node.numbered = true;
        } else {
            if (c >= 'A' && c <= 'Z')
                node.shortForm += c;
            node.longForm += upper(c);
        }
    }
    finish();
}

bool Pattern::matchFrom(std::size_t p, const std::vector<Node>& path, std::size_t n,
                        std::vector<int>& suffixes) const {
    if (p == nodes_.size())
        return n == path.size();
    const PatternNode& want = nodes_[p];
    if (n < path.size()) {
        const Node& got = path[n];
        const bool named = got.mnemonic == want.shortForm || got.mnemonic == want.longForm;
        if (named && (want.numbered || got.suffix == 0)) {
            const std::size_t mark = suffixes.size();
            if (want.numbered)
                suffixes.push_back(got.suffix == 0 ? 1 : got.suffix);
            if (matchFrom(p + 1, path, n + 1, suffixes))
                return true;
            suffixes.resize(mark);
        }
    }
    if (want.optional) {
        const std::size_t mark = suffixes.size();
        if (want.numbered)
            suffixes.push_back(1);
        if (matchFrom(p + 1, path, n, suffixes))
            return true;
        suffixes.resize(mark);
    }
    return false;
}

bool isMnemonic(std::string_view sent, std::string_view form) {
    std::string shortForm, longForm, given;
    for (const char c : form) {
        if (c >= 'A' && c <= 'Z')
            shortForm += c;
        longForm += upper(c);
    }
    for (const char c : sent)
        given += upper(c);
    return given == shortForm || given == longForm;
}

std::optional<std::vector<int>> Pattern::match(const Command& command) const {
    if (command.common != common_)
        return std::nullopt;
    std::vector<int> suffixes;
    if (!matchFrom(0, command.path, 0, suffixes))
        return std::nullopt;
    return suffixes;
}

}  // namespace stepctl::scpi
