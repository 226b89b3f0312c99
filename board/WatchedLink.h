// A link that passes every call on to another and keeps what the last exchange did: which chip
// it reached, how the open went and the first call that failed. Front ends show it to say why
// the board is not connected.
#pragma once

#include <optional>
#include <string>

#include "BoardLink.h"

namespace stepctl {

struct ExchangeRecord {
    std::string device;  // the inner link's words for the chip and driver, after the open
    LinkStatus open;     // how the open went
    std::optional<LinkOp> failedOp;  // the first call after the open that failed
    LinkStatus failure;              // and what it said
    bool shortWrite = false;         // the chip took fewer bytes than it was given
};

class WatchedLink final : public BoardLink {
  public:
    explicit WatchedLink(BoardLink* inner) : inner_(inner) {}

    // Later exchanges go to this link; the record of the last one stays until the next open.
    void setInner(BoardLink* inner) { inner_ = inner; }
    BoardLink* inner() const { return inner_; }

    // None before the first exchange.
    const std::optional<ExchangeRecord>& last() const { return last_; }
    int exchanges() const { return exchanges_; }  // opens so far

    LinkStatus open() override;
    LinkStatus setBitMode(std::uint8_t mask, std::uint8_t mode) override;
    LinkStatus setBaudRate(int baud) override;
    LinkStatus write(std::span<const std::uint8_t> bytes, std::size_t& written) override;
    LinkStatus close() override;
    std::string describeDevice() const override;

  private:
    LinkStatus note(LinkOp op, LinkStatus status);

    BoardLink* inner_;
    std::optional<ExchangeRecord> last_;
    int exchanges_ = 0;
};

}  // namespace stepctl
