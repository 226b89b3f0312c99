// Where a command writes: results to `out`, warnings and errors to `err`, one line each.
#pragma once

#include <ostream>
#include <string_view>

namespace stepctl::cli {

struct Console {
    std::ostream& out;
    std::ostream& err;

    void warn(std::string_view message) const {
        err << "stepctl-cli: warning: " << message << '\n';
    }
    void error(std::string_view message) const { err << "stepctl-cli: " << message << '\n'; }
};

}  // namespace stepctl::cli
