// What one connection keeps for itself: which board it talks to, its error queue and its
// status registers. Boards and what they hold are the instrument's, shared by every connection.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "Errors.h"

namespace stepctl::instrument {

// A SCPI-99 status register pair as one connection sees it: the latched events and the mask
// that lets them into the status byte.
struct StatusRegister {
    int event = 0;
    int enable = 0;
};

// The standard bits used.
namespace status {
inline constexpr int kSweeping = 0x0008;           // OPERation bit 3: a sequence runs
inline constexpr int kTimingLost = 0x0004;         // QUEStionable bit 2 (TIME): a stream ran dry
inline constexpr int kNotAnswering = 0x0200;       // QUEStionable bit 9: the last exchange failed
inline constexpr int kQuestionableSummary = 0x08;  // status byte bit 3
inline constexpr int kOperationSummary = 0x80;     // status byte bit 7
}  // namespace status

struct Client {
    std::size_t board = 0;  // the selected board, 0-based; a new connection starts on the first
    scpi::ClientStatus status;
    StatusRegister operation;
    StatusRegister questionable;

    // What the connection has seen of each board, so that a rise between two of its commands
    // (a short sequence, a failure) still latches an event.
    std::vector<long long> seenRuns;
    std::vector<long long> seenFailures;
    std::vector<long long> seenUnderruns;

    struct Run {
        std::size_t board = 0;
        long long run = 0;
    };
    std::optional<Run> opcAfter;  // *OPC given while this run went on
    std::optional<Run> started;   // the run this connection INITiated, until it ends
};

}  // namespace stepctl::instrument
