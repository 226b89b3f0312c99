// How the result of a Send is told: one line of text for people, JSON for scripts.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "Exchange.h"
#include "ExitCode.h"
#include "SendPlan.h"
#include "SendRequest.h"
#include "SessionWords.h"
#include "SimulatedBoard.h"

namespace stepctl::cli {

using Json = nlohmann::ordered_json;

// One document on one line. Text from USB descriptors need not be UTF-8: bad bytes are replaced
// rather than thrown over.
std::string jsonLine(const Json& json);

ExitCode exitCodeOf(SendStatus status);

// "ZMG-A4 (row 3) over serial" or "ZMT-B4/B5 (row 11) at address 5 over addressable".
std::string describeTarget(const SendRequest& request);
// "code 21 (10.50 dB)" or "codes 63 (31.50 dB) and 14 (7.00 dB)": what the frame carries.
std::string describeLevels(const SendPlan& plan);

// {"device", "row", "interface", "address"}; the address is null unless addressable.
Json targetJson(const SendRequest& request);
// Adds "codes" and "db", the values the frame carries, to `json`.
void addLevels(Json& json, const SendPlan& plan);
// One entry per simulated attenuator: its label and what it latched (null before a latch).
Json latchedJson(const SimulatedBoard& board);

}  // namespace stepctl::cli
