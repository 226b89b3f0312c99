#include "SequenceRun.h"

namespace stepctl::session {

SequenceEnd runSequence(BoardSession& board, const StepPlan& plan, const WaitUntil& waitUntil,
                        const OnStep& onStep) {
    SequenceEnd end;
    const SequenceClock::time_point start = SequenceClock::now();
    StepCursor cursor(plan);
    for (; !cursor.done(); cursor.advance()) {
        const auto due = start + std::chrono::duration_cast<SequenceClock::duration>(cursor.due());
        if (!waitUntil(due)) {
            end.stopped = true;
            break;
        }
        const SendRequest request = stepRequest(plan, cursor.step());
        const SendResult result = board.send(request);
        const auto late = SequenceClock::now() - due;
        ++end.done;
        const bool reached = result.outcome && result.outcome->sent();
        const bool goOn = onStep({cursor, request, result, late});
        if (!reached) {
            end.failed = result;
            break;
        }
        if (!goOn) {
            end.stopped = true;
            break;
        }
    }
    if (!end.failed && !end.stopped) {
        // The last step holds its dwell too.
        const auto over = start + std::chrono::duration_cast<SequenceClock::duration>(cursor.end());
        end.stopped = !waitUntil(over);
    }
    end.length = SequenceClock::now() - start;
    return end;
}

}  // namespace stepctl::session
