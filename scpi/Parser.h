// SCPI program messages: one line of text in, the commands it holds out. Pure: no I/O, no
// state beyond the line, so that it can be tested and fuzzed on its own.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Errors.h"

namespace stepctl::scpi {

// The longest line taken; a longer one is refused with -223 as a whole.
inline constexpr std::size_t kMaxLineBytes = 4096;

struct Node {
    std::string mnemonic;  // upper case, without its numeric suffix
    int suffix = 0;        // 0 when none was given
    bool operator==(const Node&) const = default;
};

struct Parameter {
    std::string text;     // white space around it removed; a quoted string without its quotes
    bool quoted = false;  // it was a "string" or 'string'
    bool operator==(const Parameter&) const = default;
};

struct Command {
    bool common = false;     // an IEEE 488.2 command such as *IDN?; its one node is the name
    std::vector<Node> path;  // the full path from the root, after ';' and ':' are applied
    bool query = false;      // the header ended in '?'
    std::vector<Parameter> parameters;
};

using Unit = std::variant<Command, Error>;

// Splits a line at ';' (outside quotes) and reads each part. A part with no leading ':' lies
// under the parent node of the command before it, as SCPI has it ("SYST:ERR:NEXT?;COUN?" is
// SYST:ERR:COUN?); a leading ':' goes back to the root; common commands leave the current node
// alone. A trailing "\r" is ignored. A line that is not text, or too long,
// gives one error and no command, so nothing of it runs.
std::vector<Unit> parseLine(std::string_view line);

}  // namespace stepctl::scpi
