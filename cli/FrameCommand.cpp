// stepctl-cli frame: the frame a send would put on the pins, without touching any board. The
// panel's Send runs over a link that only records, so the frame is the one send would write.
#include "ArgumentRules.h"
#include "Commands.h"
#include "FrameText.h"
#include "RecordingLink.h"
#include "SendRoad.h"

namespace stepctl::cli {

ExitCode runFrame(const FrameOptions& options, const Console& console) {
    Warnings warnings;
    const Checked<SendRequest> request = readSendRequest(options.target, options.db, warnings);
    if (!request.ok())
        return refuse(console, request.bad());
    VcdOptions vcd;
    vcd.plainPinNames = options.plainPins;
    if (options.samplePeriodPs) {
        const Checked<long long> period =
            readWholeNumber("--sample-period-ps", *options.samplePeriodPs, 1, kMaxSamplePeriodPs);
        if (!period.ok())
            return refuse(console, period.bad());
        vcd.samplePeriodPs = *period;
    }
    if (options.format != FrameFormat::VcdDump && (options.samplePeriodPs || options.plainPins))
        warnings.push_back("--sample-period-ps and --plain-pins only apply to --format vcd");
    printWarnings(console, warnings);

    RecordingLink capture;
    const InstalledLink installed(capture);
    const SendResult result = stepctl::runSend(sendInputs(*request));
    const SendOutcome& outcome = *result.outcome;

    switch (options.format) {
        case FrameFormat::HexLine:
            console.out << frameHex(outcome.frame) << '\n';
            break;
        case FrameFormat::JsonObject:
            console.out << jsonLine(frameJson(*request, result.plan, outcome.kind, outcome.frame))
                        << '\n';
            break;
        case FrameFormat::VcdDump:
            console.out << frameToVcd(outcome.kind, outcome.frame, vcd);
            break;
    }
    return ExitCode::Ok;
}

}  // namespace stepctl::cli
