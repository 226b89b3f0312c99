// The flag Ctrl-C raises, shared by the platform's handler and the waiting code.
#pragma once

#include <atomic>

namespace stepctl::cli::detail {

inline std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

}  // namespace stepctl::cli::detail
