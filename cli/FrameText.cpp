#include "FrameText.h"

namespace stepctl::cli {

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
