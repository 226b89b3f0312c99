#include "FrameText.h"

namespace stepctl::cli {

Checked<FrameFormat> readFrameFormat(std::string_view text) {
    if (text == "hex")
        return FrameFormat::HexLine;
    if (text == "json")
        return FrameFormat::JsonObject;
    if (text == "vcd")
        return FrameFormat::VcdDump;
    return BadArgument{"--format: '" + std::string(text) + "' is not one of hex, json, vcd"};
}

std::string frameHex(const Frame& frame) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(frame.size() * 3);
    for (std::uint8_t byte : frame) {
        if (!text.empty())
            text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

Json frameJson(const SendRequest& request, const SendPlan& plan, FrameKind kind,
               const Frame& frame) {
    Json json = targetJson(request);
    addLevels(json, plan);
    json["kind"] = std::string(frameKindName(kind));
    json["bytes"] = frame;
    json["hex"] = frameHex(frame);
    return json;
}

}  // namespace stepctl::cli
