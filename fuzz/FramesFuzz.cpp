// The frame builders over every interface, width and control word, and the dual builder over
// every pair of ints: the shape rules hold, and the simulated board latches what was sent.
#include <cstdio>
#include <cstdlib>

#include "Exchange.h"
#include "Frames.h"
#include "FuzzInput.h"
#include "PinMap.h"
#include "SimulatedBoard.h"

namespace {

using namespace stepctl;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "property failed: %s\n", what);
        std::abort();
    }
}

int samplesWith(const Frame& frame, std::uint8_t pin) {
    int n = 0;
    for (auto s : frame)
        n += (s & pin) != 0;
    return n;
}

void checkSingle(int ifaceIndex, bool seven, std::int32_t word) {
    const Interface iface = interfaceFromIndex(ifaceIndex);
    const Frame frame = buildControlFrame(iface, seven, word);
    check(frame.back() == 0, "frame ends low");
    check(samplesWith(frame, pins::kLe) == 1, "exactly one LE sample");

    const Group group = seven ? Group::SevenBit : Group::SixBit;
    const int address = (static_cast<std::uint32_t>(word) >> 8) & 7;
    SimulatedBoard board({{group, iface, address, pins::kLe, "dut"}});
    check(transferFrame(board, singleFrameKind(iface, seven), frame).sent(), "sent");
    const int mask = seven ? 0x7F : 0x3F;
    check(board.attenuators()[0].code() == (word & mask), "latched what was sent");
}

void checkDual(std::int32_t a, std::int32_t b) {
    const Frame frame = buildDualFrame(a, b);
    check(frame.back() == 0, "dual frame ends low");
    check(samplesWith(frame, pins::kLe) == 1 && samplesWith(frame, pins::kLe2) == 1,
          "one LE and one LE2 sample");
    int le = -1, le2 = -1;
    for (int i = 0; i < static_cast<int>(frame.size()); ++i) {
        check((frame[i] & (pins::kLe | pins::kLe2)) != (pins::kLe | pins::kLe2),
              "never LE with LE2");
        if (frame[i] & pins::kLe)
            le = i;
        if (frame[i] & pins::kLe2)
            le2 = i;
    }
    check(le < le2, "LE before LE2");
    SimulatedBoard board(SimulatedBoard::setupFor(kDualRow, Interface::Serial));
    check(transferFrame(board, FrameKind::Dual, frame).sent(), "dual sent");
    check(board.attenuators()[0].code() == (a & 63) && board.attenuators()[1].code() == (b & 63),
          "both attenuators latched their codes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const auto selector = in.take<std::uint8_t>();
    const auto first = in.take<std::int32_t>();
    const auto second = in.take<std::int32_t>();
    checkSingle(selector % 3, (selector & 0x80) != 0, first);
    checkDual(first, second);
    return 0;
}
