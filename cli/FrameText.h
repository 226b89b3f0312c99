// A frame as the frame command prints it: hex, JSON or a VCD waveform.
#pragma once

#include <string>

#include "Frames.h"
#include "Report.h"
#include "Vcd.h"

namespace stepctl::cli {

enum class FrameFormat { HexLine, JsonObject, VcdDump };

// The target, the codes and dB values, the frame kind and the bytes.
Json frameJson(const SendRequest& request, const SendPlan& plan, FrameKind kind,
               const Frame& frame);

}  // namespace stepctl::cli
