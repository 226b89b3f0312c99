// The instrument on a TCP port: SCPI lines in, replies out, for up to eight clients at once.
#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

#include <asio/io_context.hpp>

#include "Instrument.h"

namespace stepctl::instrument {

// How long a connection may say nothing before it is let go, when not told otherwise: long
// enough for a person stepping through a notebook, short enough that a forgotten one frees its
// slot within a coffee break.
inline constexpr std::chrono::seconds kDefaultIdleTimeout{300};

struct ServerSettings {
    std::string address = "127.0.0.1";                       // an IP address or a host name
    unsigned short port = 5025;                              // 0: any free port, printed when bound
    std::chrono::seconds idleTimeout = kDefaultIdleTimeout;  // 0: never
};

inline constexpr std::size_t kMaxClients = 8;

enum class ServeEnd {
    Stopped,       // by a signal; every client was let go
    CannotListen,  // the address or port could not be bound
};

// Listens, prints "listening on ADDRESS:PORT" to `out` and serves until SIGINT or SIGTERM (or
// SIGHUP where there is one), on `io`, the loop the instrument's sequences run on. One thread:
// the clients' commands run one at a time, so no two exchanges with a chip ever overlap, and a
// connection waiting for a sequence (*WAI, *OPC?) holds up no other. `error` is told why it
// ends.
ServeEnd serve(const ServerSettings& settings, asio::io_context& io, Instrument& instrument,
               std::ostream& out, const std::function<void(const std::string&)>& error);

}  // namespace stepctl::instrument
