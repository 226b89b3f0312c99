// stepctl-cli probe: the panel's connection probe, open and close, nothing else.
#include "Commands.h"
#include "Report.h"
#include "SendRoutines.h"

namespace stepctl::cli {

ExitCode runProbe(const ProbeOptions& options, const Console& console) {
    Warnings warnings;
    const auto session = BoardSession::open(options.board, warnings);
    if (!session.ok())
        return refuse(console, session.bad());
    printWarnings(console, warnings);

    const bool connected = probeBoard();
    if (options.json) {
        Json json;
        json["board"] = (*session)->name();
        json["connected"] = connected;
        console.out << jsonLine(json) << '\n';
    } else {
        console.out << (connected ? "connected" : "not connected") << '\n';
    }
    return connected ? ExitCode::Ok : ExitCode::NoBoard;
}

}  // namespace stepctl::cli
