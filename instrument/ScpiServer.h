// The instrument on a TCP port: SCPI lines in, replies out, for up to eight clients at once.
#pragma once

#include <string>

#include <functional>
#include <ostream>

#include "Instrument.h"

namespace stepctl::instrument {

struct ServerSettings {
    std::string address = "127.0.0.1";  // checked by the caller
    unsigned short port = 5025;         // 0: any free port, printed when bound
};

inline constexpr std::size_t kMaxClients = 8;

enum class ServeEnd {
    Stopped,       // by a signal; every client was let go
    CannotListen,  // the address or port could not be bound
};

// Listens, prints "listening on ADDRESS:PORT" to `out` and serves until SIGINT or SIGTERM (or
// SIGHUP where there is one). One thread, one event loop: the clients' commands run one at a
// time, so no two exchanges with the chip ever overlap. `error` is told why it ends.
ServeEnd serve(const ServerSettings& settings, Instrument& instrument, std::ostream& out,
               const std::function<void(const std::string&)>& error);

}  // namespace stepctl::instrument
