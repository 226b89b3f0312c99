#include "Vcd.h"

#include <string_view>

#include "PinRoles.h"

namespace stepctl {

std::string frameToVcd(FrameKind kind, const Frame& frame, const VcdOptions& options) {
    const std::vector<PinLane> lanes = options.plainPinNames ? plainLanes() : lanesFor(kind);
    auto id = [](std::size_t lane) { return std::string(1, static_cast<char>('!' + lane)); };

    std::string out;
    out += "$version stepctl $end\n";
    out += "$comment ";
    out += frameKindName(kind);
    out += " frame, " + std::to_string(frame.size()) + " samples, one byte per sample $end\n";
    out += "$timescale 1ps $end\n";
    out += "$scope module stepctl $end\n";
    for (std::size_t i = 0; i < lanes.size(); ++i) {
        out += "$var wire 1 " + id(i) + " " + std::string(lanes[i].name) + " $end\n";
    }
    out += "$upscope $end\n$enddefinitions $end\n";

    std::uint8_t before = 0;
    for (std::size_t sample = 0; sample < frame.size(); ++sample) {
        const std::uint8_t now = frame[sample];
        std::string changes;
        for (std::size_t i = 0; i < lanes.size(); ++i) {
            const bool level = (now & lanes[i].mask) != 0;
            if (sample == 0 || level != ((before & lanes[i].mask) != 0)) {
                changes += (level ? "1" : "0") + id(i) + "\n";
            }
        }
        if (sample == 0) {
            out += "#0\n$dumpvars\n" + changes + "$end\n";
        } else if (!changes.empty()) {
            out += "#" +
                   std::to_string(static_cast<std::int64_t>(sample) * options.samplePeriodPs) +
                   "\n" + changes;
        }
        before = now;
    }
    out += "#" + std::to_string(static_cast<std::int64_t>(frame.size()) * options.samplePeriodPs) +
           "\n";
    return out;
}

}  // namespace stepctl
