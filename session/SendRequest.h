// What a send, frame or sweep command is asked to do, checked against the catalogue: the
// device row, the interface, the address and the dB texts the panel's Send will read.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Catalogue.h"
#include "Checked.h"
#include "SendPlan.h"

namespace stepctl::session {

// The options as typed.
struct TargetText {
    std::string device;
    std::string interface;
    std::optional<std::string> address;
    std::optional<std::string> db2;
};

struct SendRequest {
    int row = 0;
    Interface iface = Interface::Serial;
    int address = 0;    // only used with Serial Addressable
    std::string text1;  // the first dB field as the panel would read it
    std::string text2;  // the second one; empty when not given
};

// What the panel's Send would read for this request; views into `request`.
SendInputs sendInputs(const SendRequest& request);

// Things worth saying that do not stop the command.
using Warnings = std::vector<std::string>;

// Device, interface, address and --db2. The address is required with addressable, because a
// script that forgets it would otherwise set whichever device the default names. --db2 is
// required where both of the dual device's codes are sent, so that its second attenuator never
// falls to 0 dB by omission. The first dB text is left empty for the caller to fill.
Checked<SendRequest> readTarget(const TargetText& typed, Warnings& warnings);

// readTarget, then --db as the first dB text.
Checked<SendRequest> readSendRequest(const TargetText& typed, const std::string& db,
                                     Warnings& warnings);

// A strict dB value for the row; out-of-range values are kept (the Send clamps them) and
// noted in `warnings`.
Checked<float> readLevel(std::string_view option, std::string_view text, int row,
                         Warnings& warnings);

// The row's name as shown: "ZMG-A1 (row 0)".
std::string deviceLabel(int row);

// The top attenuation of a row in dB.
float topDb(int row);

// Whether the panel's Send sends both codes of the dual device for this row and interface.
bool sendsBothCodes(int row, Interface iface);

}  // namespace stepctl::session
