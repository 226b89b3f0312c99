// The frame a setting puts on the pins, from the plan alone: the bits the panel's Send writes
// for the same device, interface and codes, with no selection state read or written. Pure.
#pragma once

#include <optional>

#include "Catalogue.h"
#include "Frames.h"
#include "SendPlan.h"

namespace stepctl::session {

struct SettingFrame {
    FrameKind kind = FrameKind::Serial6;
    Frame frame{};
};

// Nothing when the plan sends nothing (Serial Addressable with no address).
std::optional<SettingFrame> frameForPlan(int row, Interface iface, const SendPlan& plan);

}  // namespace stepctl::session
