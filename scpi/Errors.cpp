#include "Errors.h"

#include <cstdio>

namespace stepctl::scpi {

std::string_view errorText(int code) {
    switch (code) {
        case err::kNone:
            return "No error";
        case err::kCommand:
            return "Command error";
        case err::kSyntax:
            return "Syntax error";
        case err::kParameterNotAllowed:
            return "Parameter not allowed";
        case err::kMissingParameter:
            return "Missing parameter";
        case err::kUndefinedHeader:
            return "Undefined header";
        case err::kExecution:
            return "Execution error";
        case err::kInitIgnored:
            return "Init ignored";
        case err::kSettingsConflict:
            return "Settings conflict";
        case err::kDataOutOfRange:
            return "Data out of range";
        case err::kTooMuchData:
            return "Too much data";
        case err::kIllegalParameter:
            return "Illegal parameter value";
        case err::kHardware:
            return "Hardware error";
        case err::kHardwareMissing:
            return "Hardware missing";
        case err::kQueueOverflow:
            return "Queue overflow";
        default:
            return "Error";
    }
}

std::string formatError(const Error& error) {
    std::string text = std::to_string(error.code) + ",\"" + std::string(errorText(error.code));
    if (!error.detail.empty()) {
        text += "; ";
        for (const char c : error.detail) {
            if (c == '"') {
                text += "\"\"";
            } else if (c >= 0x20 && c < 0x7F) {
                text += c;
            } else {
                text += '?';
            }
        }
    }
    return text + "\"";
}

void ClientStatus::push(Error error) {
    const int code = error.code;
    // A full queue keeps its oldest errors; its last entry then says that some were lost.
    if (queue_.size() < kQueueSize) {
        queue_.push_back(std::move(error));
    } else {
        queue_.back() = {err::kQueueOverflow, "errors were lost"};
        esr_ |= esr::kDeviceError;  // the overflow is a device-specific error of its own
    }
    if (code <= -100 && code > -200) {
        esr_ |= esr::kCommandError;
    } else if (code <= -200 && code > -300) {
        esr_ |= esr::kExecutionError;
    } else if (code <= -300 && code > -400) {
        esr_ |= esr::kDeviceError;
    } else if (code <= -400 && code > -500) {
        esr_ |= esr::kQueryError;
    }
}

Error ClientStatus::next() {
    if (queue_.empty())
        return {err::kNone, ""};
    Error first = std::move(queue_.front());
    queue_.pop_front();
    return first;
}

int ClientStatus::statusByte(int summaries) const {
    int stb = summaries & 0xBF;
    if (!queue_.empty())
        stb |= 0x04;
    if ((esr_ & ese_) != 0)
        stb |= 0x20;
    if ((stb & sre_) != 0)
        stb |= 0x40;
    return stb;
}

void ClientStatus::clear() {
    queue_.clear();
    esr_ = 0;
}

}  // namespace stepctl::scpi
