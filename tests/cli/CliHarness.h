// Runs stepctl-cli in process, as the tests and a fuzz target do.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "RunCli.h"

namespace stepctl::cli::test {

struct CliRun {
    int exit = -1;
    std::string out;
    std::string err;

    nlohmann::json json() const { return nlohmann::json::parse(out); }
};

inline CliRun runArgs(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int exit = runCli(args, out, err);
    return {exit, out.str(), err.str()};
}

// Arguments split at spaces; use runArgs for a value that holds one.
inline CliRun run(const std::string& line) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;)
        args.push_back(word);
    return runArgs(args);
}

inline int lineCount(const std::string& text) {
    int lines = 0;
    for (char c : text)
        lines += c == '\n' ? 1 : 0;
    return lines;
}

}  // namespace stepctl::cli::test
