// stepctl-cli probe: the panel's connection probe, open and close, nothing else.
#include "Commands.h"
#include "OpenFailure.h"
#include "Report.h"
#include "SendRoutines.h"

namespace stepctl::cli {

ExitCode runProbe(const ProbeOptions& options, const Console& console) {
    Warnings warnings;
    const auto session = BoardSession::open(options.board, warnings);
    if (!session.ok())
        return refuse(console, session.bad());
    printWarnings(console, warnings);

    const LinkStatus status = probeBoardStatus();
    const bool connected = status.ok();
    if (options.json) {
        Json json;
        json["board"] = (*session)->name();
        json["connected"] = connected;
        if (!connected) {
            json["reason"] = std::string(openFailureName(openFailureOf(status)));
            json["detail"] = status.message;
        }
        console.out << jsonLine(json) << '\n';
    } else {
        console.out << (connected ? "connected" : "not connected: " + status.message) << '\n';
    }
    return connected ? ExitCode::Ok : ExitCode::NoBoard;
}

}  // namespace stepctl::cli
