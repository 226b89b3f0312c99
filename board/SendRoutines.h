// The send routines the panel and the CLI call. They read the selection state, build the frame
// and run the frame transfer over the board link in use.
#pragma once

#include <cstdint>

#include "BoardLink.h"
#include "Catalogue.h"
#include "Exchange.h"

namespace stepctl {

// The link every exchange below goes through. Until one is installed it is the link to the first
// chip over the platform's default driver (libftdi on Linux, D2XX on Windows). The caller
// keeps ownership; nullptr goes back to that link.
BoardLink& boardLink();
void setBoardLink(BoardLink* link);

// Connection probe over boardLink().
bool probeBoard();

// The device and interface the panel has selected, for the simulated board that stands in for
// the panel's board.
struct PanelSelection {
    int row = 0;
    Interface iface = Interface::Serial;
};
PanelSelection panelSelection();

}  // namespace stepctl

// Single-device frame for g_nInterface. Stores the word width of row g_nDeviceIndex in
// g_bSevenBit first; the frame takes its width from there.
stepctl::SendOutcome SendControlWord(std::int32_t nControlWord);

// Dual-device frame: first code latched by LE, second by LE2. Reads no selection state.
stepctl::SendOutcome SendDualControlWord(std::int32_t nCode1, std::int32_t nCode2);
