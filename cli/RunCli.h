// stepctl-cli as a function: the arguments after the program name in, the exit code out.
// Re-entrant: every run starts and ends with the selection state at its start-up values and no
// board link installed, so a process may run it any number of times.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace stepctl::cli {

int runCli(std::vector<std::string> args, std::ostream& out, std::ostream& err);

}  // namespace stepctl::cli
