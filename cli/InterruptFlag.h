// The flag a stop request raises, shared by the platform's handler and the waiting code.
#pragma once

#include <atomic>

namespace stepctl::cli::detail {

enum StopCause : int { kNoStop = 0, kCtrlC, kTerminate, kHangUp };

inline std::atomic<int> g_stopCause{kNoStop};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is set from a signal handler");

}  // namespace stepctl::cli::detail
