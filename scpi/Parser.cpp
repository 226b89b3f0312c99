#include "Parser.h"

#include <charconv>
#include <cstdio>

namespace stepctl::scpi {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}
bool isAlpha(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// The first byte that is not printable ASCII or a tab, as "byte 0x01 at column 3".
std::string notText(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if ((byte < 0x20 && byte != '\t') || byte >= 0x7F) {
            char text[64];
            std::snprintf(text, sizeof text, "byte 0x%02X at column %zu is not text", byte, i + 1);
            return text;
        }
    }
    return {};
}

// Splits at `separator` outside quoted strings; false when a quote is left open.
bool split(std::string_view text, char separator, std::vector<std::string_view>& parts) {
    char quote = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote)
                quote = 0;  // a doubled quote closes and reopens: same result
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == separator) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(text.substr(start));
    return quote == 0;
}

Unit syntax(std::string detail) {
    return Error{err::kSyntax, std::move(detail)};
}

// A quoted string with its doubled quotes made single, or nothing when it is malformed.
bool unquote(std::string_view text, std::string& out) {
    const char quote = text.front();
    out.clear();
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] != quote) {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == quote) {
            out += quote;
            ++i;
        } else {
            return i + 1 == text.size();  // the closing quote must end the parameter
        }
    }
    return false;
}

std::optional<Unit> readParameters(std::string_view text, Command& command) {
    std::vector<std::string_view> parts;
    split(text, ',', parts);
    for (std::string_view raw : parts) {
        const std::string_view part = trim(raw);
        if (part.empty())
            return syntax("a parameter is missing between commas");
        Parameter parameter;
        if (part.front() == '"' || part.front() == '\'') {
            if (!unquote(part, parameter.text))
                return syntax("a quoted string is not closed where it should be");
            parameter.quoted = true;
        } else {
            for (const char c : part) {
                if (c == '"' || c == '\'')
                    return syntax("a quote inside a parameter");
            }
            parameter.text = std::string(part);
        }
        command.parameters.push_back(std::move(parameter));
    }
    return std::nullopt;
}

// One node of a header: letters, then digits and underscores, then an optional numeric suffix.
std::optional<Unit> readNode(std::string_view text, Node& node) {
    if (text.empty())
        return syntax("an empty node in the header");
    if (!isAlpha(text.front()))
        return syntax("a header node must start with a letter");
    std::size_t digits = text.size();
    while (digits > 0 && isDigit(text[digits - 1]))
        --digits;
    for (std::size_t i = 0; i < digits; ++i) {
        const char c = text[i];
        if (!isAlpha(c) && !isDigit(c) && c != '_')
            return syntax("'" + std::string(1, c) + "' in a header");
        node.mnemonic += upper(c);
    }
    if (digits < text.size()) {
        const char* first = text.data() + digits;
        const char* last = text.data() + text.size();
        const auto [end, ec] = std::from_chars(first, last, node.suffix);
        if (ec != std::errc() || end != last || node.suffix < 1)
            return Error{err::kUndefinedHeader, "suffix " + std::string(first, last)};
    }
    return std::nullopt;
}

Unit readUnit(std::string_view text, std::vector<Node>& current) {
    text = trim(text);
    if (text.empty())
        return Error{err::kCommand, "an empty command"};
    std::size_t headerEnd = 0;
    while (headerEnd < text.size() && !isSpace(text[headerEnd]))
        ++headerEnd;
    std::string_view header = text.substr(0, headerEnd);
    const std::string_view rest = trim(text.substr(headerEnd));

    Command command;
    if (header.back() == '?') {
        command.query = true;
        header.remove_suffix(1);
    }
    if (header.empty())
        return syntax("a '?' without a header");
    if (header.front() == '*') {
        command.common = true;
        Node node;
        if (const auto bad = readNode(header.substr(1), node))
            return *bad;
        command.path.push_back(std::move(node));
    } else {
        const bool fromRoot = header.front() == ':';
        if (fromRoot)
            header.remove_prefix(1);
        if (!fromRoot)
            command.path = current;
        std::vector<std::string_view> nodes;
        split(header, ':', nodes);
        for (std::string_view part : nodes) {
            Node node;
            if (const auto bad = readNode(part, node))
                return *bad;
            command.path.push_back(std::move(node));
        }
        current.assign(command.path.begin(), command.path.end() - 1);
    }
    if (!rest.empty()) {
        if (const auto bad = readParameters(rest, command))
            return *bad;
    }
    return command;
}

}  // namespace

std::vector<Unit> parseLine(std::string_view line) {
    if (line.size() > kMaxLineBytes)
        return {Error{err::kTooMuchData, "a line is at most 4096 bytes"}};
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (const std::string bad = notText(line); !bad.empty())
        return {Error{err::kSyntax, bad}};
    if (trim(line).empty())
        return {Error{err::kCommand, "an empty line"}};

    std::vector<std::string_view> parts;
    if (!split(line, ';', parts))
        return {syntax("a quoted string is not closed")};
    std::vector<Unit> units;
    std::vector<Node> current;
    for (std::string_view part : parts)
        units.push_back(readUnit(part, current));
    return units;
}

}  // namespace stepctl::scpi
