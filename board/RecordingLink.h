// A link for tests that records every call with its arguments. Alone it behaves as an ideal
// chip that is always there; around another link it passes each call on and records the answer.
#pragma once

#include <string_view>
#include <vector>

#include "BoardLink.h"

namespace stepctl {

struct RecordedCall {
    LinkOp op;
    int arg1 = 0;                     // bit mode: mask; baud: rate
    int arg2 = 0;                     // bit mode: mode
    std::vector<std::uint8_t> bytes;  // write: what was handed over
    std::size_t written = 0;          // write: what the chip took
    LinkStatus result;
};

std::string_view linkOpName(LinkOp op);

class RecordingLink final : public BoardLink {
  public:
    RecordingLink() = default;
    explicit RecordingLink(BoardLink& inner) : inner_(&inner) {}

    LinkStatus open() override;
    LinkStatus setBitMode(std::uint8_t mask, std::uint8_t mode) override;
    LinkStatus setBaudRate(int baud) override;
    LinkStatus write(std::span<const std::uint8_t> bytes, std::size_t& written) override;
    LinkStatus close() override;
    std::string describeDevice() const override {
        return inner_ != nullptr ? inner_->describeDevice() : std::string();
    }

    const std::vector<RecordedCall>& calls() const { return calls_; }
    std::vector<LinkOp> ops() const;
    // Bytes of every write, in order.
    std::vector<std::vector<std::uint8_t>> writes() const;
    void clear() { calls_.clear(); }

  private:
    RecordedCall& record(LinkOp op, LinkStatus result);

    BoardLink* inner_ = nullptr;
    std::vector<RecordedCall> calls_;
};

}  // namespace stepctl
