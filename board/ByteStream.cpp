#include "ByteStream.h"

#include <vector>

namespace stepctl {
namespace {

// The first bytes may reach the pins up to a USB frame or two after they were handed over.
constexpr double kStartLatency = 0.002;

}  // namespace

void UnderrunWatch::beforeHandingOver(std::uint64_t given, Clock::time_point now) {
    if (rate_ <= 0.0)
        return;
    if (!started_) {
        started_ = true;
        start_ = now;
        return;
    }
    if (ranDry_)
        return;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double played = static_cast<double>(given) / rate_;
    if (elapsed > played + kStartLatency) {
        ranDry_ = true;
        dryAt_ = given;
        lateBy_ = elapsed - played;
    }
}

void UnderrunWatch::note(StreamEnd& end) const {
    if (!ranDry_)
        return;
    end.underrun = true;
    end.underrunDetail = "the chip ran dry after sample " + std::to_string(dryAt_) +
                         ": the host fell " + std::to_string(lateBy_ * 1e3) +
                         " ms behind, so the step there lasted longer";
}

StreamEnd writeInPieces(BoardLink& link, ByteSource& source, const StreamPace& pace) {
    StreamEnd end;
    std::vector<std::uint8_t> piece(pace.pieceBytes == 0 ? 4096 : pace.pieceBytes);
    UnderrunWatch watch(pace.samplesPerSecond);
    for (;;) {
        if (!source.goOn()) {
            end.stopped = true;
            break;
        }
        const std::size_t count = source.fill(piece);
        if (count == 0)
            break;
        watch.beforeHandingOver(end.taken);
        std::size_t written = 0;
        end.status = link.write(std::span(piece.data(), count), written);
        end.taken += written;
        if (written > 0)
            source.taken(end.taken);
        if (!end.status.ok())
            break;
        if (written != count) {
            end.status = {LinkCode::IoError, "short write: the chip took " +
                                                 std::to_string(written) + " of " +
                                                 std::to_string(count) + " bytes"};
            break;
        }
    }
    watch.note(end);
    return end;
}

StreamEnd BoardLink::writeStream(ByteSource& source, const StreamPace& pace) {
    return writeInPieces(*this, source, pace);
}

}  // namespace stepctl
