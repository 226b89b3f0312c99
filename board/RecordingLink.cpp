#include "RecordingLink.h"

namespace stepctl {

std::string_view linkOpName(LinkOp op) {
    switch (op) {
        case LinkOp::Open:
            return "open";
        case LinkOp::SetBitMode:
            return "setBitMode";
        case LinkOp::SetBaudRate:
            return "setBaudRate";
        case LinkOp::Write:
            return "write";
        case LinkOp::Close:
            break;
    }
    return "close";
}

RecordedCall& RecordingLink::record(LinkOp op, LinkStatus result) {
    calls_.push_back(RecordedCall{op, 0, 0, {}, 0, std::move(result)});
    return calls_.back();
}

LinkStatus RecordingLink::open() {
    return record(LinkOp::Open, inner_ ? inner_->open() : LinkStatus::success()).result;
}

LinkStatus RecordingLink::setBitMode(std::uint8_t mask, std::uint8_t mode) {
    auto& call =
        record(LinkOp::SetBitMode, inner_ ? inner_->setBitMode(mask, mode) : LinkStatus::success());
    call.arg1 = mask;
    call.arg2 = mode;
    return call.result;
}

LinkStatus RecordingLink::setBaudRate(int baud) {
    auto& call =
        record(LinkOp::SetBaudRate, inner_ ? inner_->setBaudRate(baud) : LinkStatus::success());
    call.arg1 = baud;
    return call.result;
}

LinkStatus RecordingLink::write(std::span<const std::uint8_t> bytes, std::size_t& written) {
    written = bytes.size();
    auto& call =
        record(LinkOp::Write, inner_ ? inner_->write(bytes, written) : LinkStatus::success());
    call.bytes.assign(bytes.begin(), bytes.end());
    call.written = written;
    return call.result;
}

LinkStatus RecordingLink::close() {
    return record(LinkOp::Close, inner_ ? inner_->close() : LinkStatus::success()).result;
}

std::vector<LinkOp> RecordingLink::ops() const {
    std::vector<LinkOp> ops;
    for (const auto& call : calls_)
        ops.push_back(call.op);
    return ops;
}

std::vector<std::vector<std::uint8_t>> RecordingLink::writes() const {
    std::vector<std::vector<std::uint8_t>> out;
    for (const auto& call : calls_) {
        if (call.op == LinkOp::Write)
            out.push_back(call.bytes);
    }
    return out;
}

}  // namespace stepctl
