// A header as a command table writes it, matched against the nodes a client sent.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "Parser.h"

namespace stepctl::scpi {

// "SYSTem:ERRor[:NEXT]" or "ATTenuation#:CODE": each node in its long form with the short form
// in capitals (a client may send either, in any case), optional nodes in brackets, and '#'
// where a numeric suffix may follow. A common command is written with its star: "*IDN".
class Pattern {
  public:
    explicit Pattern(std::string_view text);

    // The suffix of each '#' node, 1 where none was sent; nothing when the path is not this
    // header (a suffix on a node without '#' never matches).
    std::optional<std::vector<int>> match(const Command& command) const;

  private:
    struct PatternNode {
        std::string shortForm;
        std::string longForm;
        bool optional = false;
        bool numbered = false;
    };
    bool matchFrom(std::size_t p, const std::vector<Node>& path, std::size_t n,
                   std::vector<int>& suffixes) const;

    bool common_ = false;
    std::vector<PatternNode> nodes_;
};

// Whether a word sent as a parameter is `form` ("SERial"): its short or its long form, any case.
bool isMnemonic(std::string_view sent, std::string_view form);

}  // namespace stepctl::scpi
