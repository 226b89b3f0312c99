#include "TypedName.h"

#include <algorithm>

namespace stepctl::panel {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

bool namesEntry(std::string_view typed, std::string_view entry) {
    const std::string_view name = trimmed(typed);
    return !name.empty() && name.size() == entry.size() &&
           std::equal(name.begin(), name.end(), entry.begin(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

}  // namespace stepctl::panel
