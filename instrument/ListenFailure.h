// Why a server could not listen, in words a lab engineer acts on, sorted by the socket's code.
#pragma once

#include <string>
#include <system_error>

namespace stepctl::instrument {

// "the port is in use by another program ...", "the address is not one of this machine's ...",
// and the system's own words for anything else.
std::string listenFailureWords(const std::error_code& ec);

}  // namespace stepctl::instrument
