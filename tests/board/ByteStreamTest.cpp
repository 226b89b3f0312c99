// The plain stream write and the underrun it can tell: a short write stops the stream and says
// how much was taken; a host that falls behind the chip's clock is caught, one within a USB
// frame's latency is not.
#include "ByteStream.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "SimulatedBoard.h"

namespace stepctl {
namespace {

// 100 bytes of 0x01, in whatever pieces are asked for.
class Counting final : public ByteSource {
  public:
    std::size_t fill(std::span<std::uint8_t> into) override {
        const std::size_t n = std::min<std::size_t>(into.size(), 100 - made_);
        std::fill_n(into.begin(), n, 1);
        made_ += n;
        return n;
    }
    void taken(std::uint64_t total) override { taken_ = total; }
    std::size_t made_ = 0;
    std::uint64_t taken_ = 0;
};

TEST(ByteStream, WritesEveryPieceAndStopsAtAShortWrite) {
    SimulatedBoard board(std::vector<AttenuatorSetup>{});
    ASSERT_TRUE(board.open().ok());
    Counting all;
    const StreamEnd whole = board.writeStream(all, {0.0, 30, 1});
    EXPECT_TRUE(whole.status.ok());
    EXPECT_EQ(whole.taken, 100u);
    EXPECT_EQ(all.taken_, 100u);
    EXPECT_EQ(board.samples(), 0u);  // not in bit-bang mode: no samples on the pins

    board.failCall(LinkOp::Write, Fault::ShortWrite);
    Counting half;
    const StreamEnd cut = board.writeStream(half, {0.0, 30, 1});
    EXPECT_EQ(cut.status.code, LinkCode::IoError);
    EXPECT_EQ(cut.status.message, "short write: the chip took 15 of 30 bytes");
    EXPECT_EQ(cut.taken, 15u);
}

TEST(UnderrunWatch, CatchesAHostThatFellBehindTheClock) {
    using namespace std::chrono;
    const auto t0 = UnderrunWatch::Clock::time_point{};
    const std::pair<milliseconds, bool> cases[] = {
        {milliseconds(10), false},  // 1000 samples at 100 kS/s take 10 ms: still playing
        {milliseconds(11), false},  // within the first bytes' USB latency
        {milliseconds(13), true},   // played out 3 ms ago: the chip waited
    };
    for (const auto& [after, dry] : cases) {
        UnderrunWatch watch(100000);
        watch.beforeHandingOver(0, t0);
        watch.beforeHandingOver(1000, t0 + after);
        StreamEnd end;
        watch.note(end);
        EXPECT_EQ(end.underrun, dry) << after.count();
        if (dry) {
            EXPECT_NE(end.underrunDetail.find("after sample 1000"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace stepctl
