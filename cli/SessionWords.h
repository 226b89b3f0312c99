// The command line speaks the sessions' words: requests, rules, plans and boards.
#pragma once

namespace stepctl::session {}

namespace stepctl::cli {
using namespace stepctl::session;
}  // namespace stepctl::cli
