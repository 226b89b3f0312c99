// stepctl-cli probe: the panel's connection probe, open and close, nothing else. It says what
// answered: the simulated board or the chip's driver.
#include "Commands.h"
#include "Report.h"

namespace stepctl::cli {

ExitCode runProbe(const ProbeOptions& options, const Console& console) {
    Warnings warnings;
    const auto session = BoardSession::open(options.board, warnings);
    if (!session.ok())
        return refuse(console, session.bad());
    printWarnings(console, warnings);

    const LinkStatus status = probeStatus((*session)->link());
    const bool connected = status.ok();
    // A missing driver is not a missing board: say so, where a missing board only reads
    // "not connected".
    if (status.code == LinkCode::DriverMissing)
        console.error(status.message);
    const std::string_view by = (*session)->answeredBy();
    if (options.json) {
        Json json;
        json["board"] = (*session)->name();
        if ((*session)->simulated() == nullptr)
            json["driver"] = by;
        json["connected"] = connected;
        console.out << jsonLine(json) << '\n';
    } else {
        console.out << (connected ? "connected (" : "not connected (") << by << ")\n";
    }
    return connected ? ExitCode::Ok : ExitCode::NoBoard;
}

}  // namespace stepctl::cli
