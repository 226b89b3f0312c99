// The Send road as the module takes it: one call at a time, whatever Python thread asks. The
// selection state and the send routines' link are process-wide, so each call starts from a fresh
// selection state with its own link installed and leaves both as it found them; a Board and
// stepctl.frame() may then be used in any order without one seeing the other's link.
#pragma once

#include <mutex>

#include "BoardLink.h"
#include "SendRequest.h"
#include "SendRoad.h"

namespace stepctl::python {

// Held for the whole of a call that uses the road or reads a simulated board. Take it with the
// GIL released: a transfer may wait on USB.
std::mutex& roadLock();

// The panel's Send for `request` over `link`. Caller holds roadLock().
SendResult sendOver(BoardLink& link, const cli::SendRequest& request);

// The connection probe over `link`. Caller holds roadLock().
bool probeOver(BoardLink& link);

}  // namespace stepctl::python
