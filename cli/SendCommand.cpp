// stepctl-cli send: one setting to the board, the chip opened for it and let go after.
#include "Commands.h"
#include "Report.h"

namespace stepctl::cli {

ExitCode runSend(const SendOptions& options, const Console& console) {
    Warnings warnings;
    const Checked<SendRequest> request = readSendRequest(options.target, options.db, warnings);
    if (!request.ok())
        return refuse(console, request.bad());
    const auto session = BoardSession::open(options.board, warnings);
    if (!session.ok())
        return refuse(console, session.bad());
    printWarnings(console, warnings);

    SendResult result = (*session)->send(*request);
    const LinkStatus closed = (*session)->release();
    if (!closed.ok() && result.outcome->sent()) {
        // The frame is out; only the release of the device went wrong.
        result.outcome->detail =
            "closing the device failed" + (closed.message.empty() ? "" : ": " + closed.message);
    }
    const SendOutcome& outcome = *result.outcome;  // a checked request always dispatches
    const SimulatedBoard* simulated = (*session)->simulated();

    if (options.json) {
        Json json = targetJson(*request);
        addLevels(json, result.plan);
        json["kind"] = std::string(frameKindName(outcome.kind));
        json["board"] = (*session)->name();
        json["status"] = std::string(statusName(outcome.status));
        json["detail"] = outcome.detail;
        if (simulated != nullptr)
            json["latched"] = latchedJson(*simulated);
        console.out << jsonLine(json) << '\n';
    } else {
        if (outcome.sent()) {
            console.out << "sent " << describeLevels(result.plan) << " to "
                        << describeTarget(*request) << ": " << frameKindName(outcome.kind)
                        << " frame\n";
        }
        if (simulated != nullptr) {
            for (const std::string& line : simulated->report())
                console.out << "sim: " << line << '\n';
        }
    }

    switch (outcome.status) {
        case SendStatus::Sent:
            if (!outcome.detail.empty())
                console.warn(outcome.detail);
            break;
        case SendStatus::NoDevice:
            console.error("no board: " + outcome.detail + "; nothing sent");
            break;
        case SendStatus::TransferFailed:
            console.error("transfer failed: " + outcome.detail);
            break;
    }
    return exitCodeOf(outcome.status);
}

}  // namespace stepctl::cli
