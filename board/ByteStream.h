// A long write to the chip: bytes drawn from a source piece by piece and handed over as fast
// as the chip takes them, so that its transmit buffer never runs dry. `BoardLink::writeStream`
// does it; this header holds what it is given and what it returns.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "BoardLink.h"

namespace stepctl {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Fills the front of `into` with the next bytes and says how many; 0 once the stream ends.
    virtual std::size_t fill(std::span<std::uint8_t> into) = 0;
    // The chip has taken the first `total` bytes of the stream.
    virtual void taken(std::uint64_t total) { (void)total; }
    // False once a stop is asked for: nothing more is queued (what is queued still goes out).
    virtual bool goOn() { return true; }
};

struct StreamPace {
    double samplesPerSecond = 0.0;  // the chip's sample clock; 0: unknown, no underrun check
    std::size_t pieceBytes = 4096;  // bytes per write
    int inFlight = 8;               // writes queued at once, where the link can queue
};

struct StreamEnd {
    LinkStatus status;
    std::uint64_t taken = 0;  // bytes the chip took
    bool stopped = false;     // a stop was asked for before the source ended
    bool underrun = false;    // the chip ran dry before the end: a step lasted longer
    std::string underrunDetail;
};

// Tells an underrun from the host's side: a chip that was handed `given` bytes by a time when
// more than given / rate seconds (and a USB frame's latency) have passed since the first byte
// went out has certainly played them all and waited.
class UnderrunWatch {
  public:
    using Clock = std::chrono::steady_clock;
    explicit UnderrunWatch(double samplesPerSecond) : rate_(samplesPerSecond) {}

    // Just before bytes past the first `given` are handed over.
    void beforeHandingOver(std::uint64_t given, Clock::time_point now = Clock::now());
    void note(StreamEnd& end) const;

  private:
    double rate_;
    bool started_ = false;
    Clock::time_point start_{};
    bool ranDry_ = false;
    std::uint64_t dryAt_ = 0;  // the byte at which it was seen
    double lateBy_ = 0.0;      // seconds
};

// The plain way: one write per piece, each waited for. Links with a write queue of their own
// do better.
StreamEnd writeInPieces(BoardLink& link, ByteSource& source, const StreamPace& pace);

}  // namespace stepctl
