// What went wrong with the board, in the words of a lab engineer rather than the driver's.
// Pure text, for every front end (the panel's indicator tooltip, the Windows panel).
#pragma once

#include <string>

#include "BoardLink.h"
#include "WatchedLink.h"

namespace stepctl {

// Why an open failed, one text per reason (OpenFailure's): no chip attached, access denied (with
// the way to grant it), busy (in use by another program), USB not usable, or the driver's own
// words when none of these fits. Sorted by the link's reason and code, never by its words.
std::string openFailureWords(const LinkStatus& status);

// The last exchange: which chip and driver it used and how it went; `none` when there was none.
std::string exchangeWords(const std::optional<ExchangeRecord>& last);

}  // namespace stepctl
