// The address `serve --listen` names: an IP address, or a host name that resolves to one.
#pragma once

#include <string>
#include <variant>

#include <asio/ip/address.hpp>

namespace stepctl::instrument {

// The address, or why there is none, in words for the user. A host name gives its first IPv4
// address, else its first IPv6 one ("localhost" is 127.0.0.1 where it has both).
std::variant<asio::ip::address, std::string> listenAddress(const std::string& host);

}  // namespace stepctl::instrument
