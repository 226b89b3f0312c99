#include "SendRoutines.h"

#include "ChipDriver.h"
#include "SelectionState.h"

namespace stepctl {
namespace {

BoardLink* g_installedLink = nullptr;

}  // namespace

BoardLink& boardLink() {
    if (g_installedLink != nullptr)
        return *g_installedLink;
    static const std::unique_ptr<BoardLink> firstChip = makeChipLink(defaultChipDriver());
    return *firstChip;
}

void setBoardLink(BoardLink* link) {
    g_installedLink = link;
}

bool probeBoard() {
    return probeConnection(boardLink());
}

PanelSelection panelSelection() {
    return {g_nDeviceIndex, interfaceFromIndex(g_nInterface)};
}

}  // namespace stepctl

stepctl::SendOutcome SendControlWord(std::int32_t nControlWord) {
    using namespace stepctl;
    g_bSevenBit = sevenBitFlag(g_nDeviceIndex);
    const Interface iface = interfaceFromIndex(g_nInterface);
    const bool sevenBit = g_bSevenBit != 0;
    return transferFrame(boardLink(), singleFrameKind(iface, sevenBit),
                         buildControlFrame(iface, sevenBit, nControlWord));
}

stepctl::SendOutcome SendDualControlWord(std::int32_t nCode1, std::int32_t nCode2) {
    using namespace stepctl;
    return transferFrame(boardLink(), FrameKind::Dual, buildDualFrame(nCode1, nCode2));
}
