#include "FrameText.h"

namespace stepctl::cli {

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
