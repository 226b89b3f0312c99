// The error and event queue of one client, with the standard SCPI error numbers.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace stepctl::scpi {

namespace err {
inline constexpr int kNone = 0;
inline constexpr int kCommand = -100;
inline constexpr int kSyntax = -102;
inline constexpr int kParameterNotAllowed = -108;
inline constexpr int kMissingParameter = -109;
inline constexpr int kUndefinedHeader = -113;
inline constexpr int kExecution = -200;
inline constexpr int kInitIgnored = -213;
inline constexpr int kSettingsConflict = -221;
inline constexpr int kDataOutOfRange = -222;
inline constexpr int kTooMuchData = -223;
inline constexpr int kIllegalParameter = -224;
inline constexpr int kHardware = -240;
inline constexpr int kHardwareMissing = -241;
inline constexpr int kQueueOverflow = -350;
}  // namespace err

struct Error {
    int code = err::kNone;
    std::string detail;  // what exactly was wrong, for a person; may be empty
    bool operator==(const Error&) const = default;
};

// "Undefined header" for -113, and so on; "Error" for a number not listed.
std::string_view errorText(int code);

// `<code>,"<text>[; detail]"`, quotes in the detail doubled and bytes that are not printable
// ASCII replaced, so the reply is always one line a client can read back.
std::string formatError(const Error& error);

// Standard event status register bits.
namespace esr {
inline constexpr int kOperationComplete = 0x01;
inline constexpr int kQueryError = 0x04;
inline constexpr int kDeviceError = 0x08;
inline constexpr int kExecutionError = 0x10;
inline constexpr int kCommandError = 0x20;
}  // namespace esr

// What each client keeps for itself: its error queue and its status registers.
class ClientStatus {
  public:
    static constexpr std::size_t kQueueSize = 16;

    // Queues the error (when the queue is full, its last entry turns into -350) and sets the
    // event status bit of its class.
    void push(Error error);
    // The oldest error, or 0,"No error".
    Error next();
    std::size_t count() const { return queue_.size(); }

    int readEsr() {
        const int value = esr_;
        esr_ = 0;
        return value;
    }
    void setEse(int mask) { ese_ = mask & 0xFF; }
    int ese() const { return ese_; }
    // The service request enable; bit 6 is the summary itself and is never enabled.
    void setSre(int mask) { sre_ = mask & 0xBF; }
    int sre() const { return sre_; }
    void operationComplete() { esr_ |= esr::kOperationComplete; }
    // Bit 2 error queue not empty, bit 5 an enabled event, with `summaries` (the status
    // subsystem's bits 3 and 7) added; bit 6 (MSS) when any of them is enabled by *SRE.
    int statusByte(int summaries = 0) const;
    void clear();  // *CLS: the queue and the event register

  private:
    std::deque<Error> queue_;
    int esr_ = 0;
    int ese_ = 0;
    int sre_ = 0;
};

}  // namespace stepctl::scpi
