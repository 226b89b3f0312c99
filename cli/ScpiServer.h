// The instrument on a TCP port: SCPI lines in, replies out, for up to eight clients at once.
#pragma once

#include <string>

#include "Console.h"
#include "ExitCode.h"
#include "Instrument.h"

namespace stepctl::cli {

struct ServerSettings {
    std::string address = "127.0.0.1";  // checked by the caller
    unsigned short port = 5025;         // 0: any free port, printed when bound
};

inline constexpr std::size_t kMaxClients = 8;

// Listens, prints "listening on ADDRESS:PORT" to `console.out` and serves until SIGINT or
// SIGTERM (or SIGHUP where there is one). One thread, one event loop: the clients' commands run
// one at a time, so no two exchanges with the chip ever overlap.
ExitCode serve(const ServerSettings& settings, Instrument& instrument, const Console& console);

}  // namespace stepctl::cli
