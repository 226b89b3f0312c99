// stepctl-cli frame: the frame a send would put on the pins, without touching any board: the
// plan and frame of the same setting a send writes.
#include "ArgumentRules.h"
#include "Commands.h"
#include "FrameText.h"
#include "SettingFrame.h"

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

    const SendPlan plan = planSend(sendInputs(*request));
    const SettingFrame outcome = *frameForPlan(request->row, request->iface, plan);  // checked

    switch (options.format) {
        case FrameFormat::HexLine:
            console.out << frameHex(outcome.frame) << '\n';
            break;
        case FrameFormat::JsonObject:
            console.out << jsonLine(frameJson(*request, plan, outcome.kind, outcome.frame)) << '\n';
            break;
        case FrameFormat::VcdDump:
            console.out << frameToVcd(outcome.kind, outcome.frame, vcd);
            break;
    }
    return ExitCode::Ok;
}

}  // namespace stepctl::cli
