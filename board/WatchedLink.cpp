#include "WatchedLink.h"

namespace stepctl {

LinkStatus WatchedLink::open() {
    ExchangeRecord record;
    record.open = inner_->open();
    record.device = inner_->describeDevice();
    last_ = std::move(record);
    ++exchanges_;
    return last_->open;
}

LinkStatus WatchedLink::note(LinkOp op, LinkStatus status) {
    if (last_ && !status.ok() && !last_->failedOp) {
        last_->failedOp = op;
        last_->failure = status;
    }
    return status;
}

LinkStatus WatchedLink::setBitMode(std::uint8_t mask, std::uint8_t mode) {
    return note(LinkOp::SetBitMode, inner_->setBitMode(mask, mode));
}

LinkStatus WatchedLink::setBaudRate(int baud) {
    return note(LinkOp::SetBaudRate, inner_->setBaudRate(baud));
}

LinkStatus WatchedLink::write(std::span<const std::uint8_t> bytes, std::size_t& written) {
    LinkStatus status = note(LinkOp::Write, inner_->write(bytes, written));
    if (status.ok() && written < bytes.size() && last_)
        last_->shortWrite = true;
    return status;
}

LinkStatus WatchedLink::close() {
    return note(LinkOp::Close, inner_->close());
}

std::string WatchedLink::describeDevice() const {
    return inner_->describeDevice();
}

}  // namespace stepctl
