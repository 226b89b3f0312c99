// stepctl-cli probe: the panel's connection probe, open and close, nothing else. It says what
// answered: the simulated board or the chip's driver.
#include "Commands.h"
#include "OpenFailure.h"
#include "Report.h"

namespace stepctl::cli {

ExitCode runProbe(const ProbeOptions& options, const Console& console) {
    Warnings warnings;
    const auto session = BoardSession::open(options.board, warnings);
    if (!session.ok())
        return refuse(console, session.bad());
    printWarnings(console, warnings);

    const LinkStatus status = (*session)->probe();
    const bool connected = status.ok();
    const std::string_view by = (*session)->answeredBy();
    if (options.json) {
        Json json;
        json["board"] = (*session)->name();
        if ((*session)->simulated() == nullptr)
            json["driver"] = by;
        json["connected"] = connected;
        if (!connected) {
            json["reason"] = std::string(openFailureName(openFailureOf(status)));
            json["detail"] = status.message;
        }
        console.out << jsonLine(json) << '\n';
    } else {
        if (connected)
            console.out << "connected (" << by << ")\n";
        else
            console.out << "not connected (" << by << "): " << status.message << '\n';
    }
    return connected ? ExitCode::Ok : ExitCode::NoBoard;
}

}  // namespace stepctl::cli
