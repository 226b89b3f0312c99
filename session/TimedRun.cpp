#include "TimedRun.h"

#include <cmath>
#include <deque>
#include <optional>

#include "ByteStream.h"
#include "StreamVcd.h"

namespace stepctl::session {
namespace {

// Feeds the link from the stream and tells of each step once the chip has taken all of it.
class StreamFeed final : public ByteSource {
  public:
    StreamFeed(const StepPlan& plan, long long rate, SimulatedBoard* simulated, std::ostream* vcd,
               const KeepStreaming& keepGoing, const OnTimedStep& onStep)
        : rate_(static_cast<double>(rate)),
          simulated_(simulated),
          keepGoing_(keepGoing),
          onStep_(onStep),
          stream_(plan, rate, [this](const TimedStep& step) {
              pending_.push_back({step, {}});
          }) {
        if (vcd != nullptr) {
            vcd_.emplace(*vcd, frameKindOf(plan), rate,
                         "timed stream at " + std::to_string(rate) + " samples/s");
        }
    }

    std::size_t fill(std::span<std::uint8_t> into) override {
        const std::size_t count = stream_.fill(into);
        if (vcd_)
            vcd_->samples(into.first(count));
        return count;
    }

    void taken(std::uint64_t total) override {
        if (simulated_ != nullptr) {
            for (const SimulatedLatch& latch : simulated_->takeLatches()) {
                for (Pending& p : pending_) {
                    if (latch.sample >= p.step.start &&
                        latch.sample < p.step.start + p.step.samples)
                        p.latches.push_back(latch);
                }
            }
        }
        for (const Pending& p : pending_) {
            if (p.step.start + kFrameSize <= total)
                latched_ = p.step;
        }
        while (!pending_.empty() &&
               pending_.front().step.start + pending_.front().step.samples <= total) {
            const Pending& p = pending_.front();
            ++steps_;
            if (onStep_ && !onStep_({p.step, static_cast<double>(p.step.start) / rate_, p.latches}))
                stopAsked_ = true;
            pending_.pop_front();
        }
    }

    bool goOn() override { return !stopAsked_ && (!keepGoing_ || keepGoing_()); }

    void finish() {
        if (vcd_)
            vcd_->finish();
    }
    std::size_t steps() const { return steps_; }
    const std::optional<TimedStep>& latched() const { return latched_; }

  private:
    struct Pending {
        TimedStep step;
        std::vector<SimulatedLatch> latches;
    };

    static FrameKind frameKindOf(const StepPlan& plan) {
        if (plan.steps.empty())
            return FrameKind::Serial6;
        const SendRequest request = stepRequest(plan, plan.steps.front());
        const auto frame = frameForPlan(request.row, request.iface, planSend(sendInputs(request)));
        return frame ? frame->kind : FrameKind::Serial6;
    }

    double rate_;
    SimulatedBoard* simulated_;
    const KeepStreaming& keepGoing_;
    const OnTimedStep& onStep_;
    std::deque<Pending> pending_;
    TimedStream stream_;
    std::optional<VcdStream> vcd_;
    std::size_t steps_ = 0;
    std::optional<TimedStep> latched_;
    bool stopAsked_ = false;
};

std::string withWords(const std::string& what, const LinkStatus& status) {
    return what + (status.message.empty() ? "" : ": " + status.message);
}

}  // namespace

TimedEnd runTimed(BoardSession& session, const StepPlan& plan, const TimedOptions& options,
                  const KeepStreaming& keepGoing, const OnTimedStep& onStep) {
    TimedEnd end;
    const std::lock_guard guard(session.lock());
    const auto began = std::chrono::steady_clock::now();
    // The stream needs its own rate, so a chip held for single settings is let go first.
    session.heldLink().release();
    BoardLink& link = session.link();
    SimulatedBoard* simulated = session.simulated();
    if (simulated != nullptr) {
        simulated->follow(plan.target.row, plan.target.iface);
        simulated->logLatches(true);
    }
    auto fail = [&end](SendStatus status, const std::string& detail) {
        if (end.status != SendStatus::Sent)
            return;  // keep the first cause
        end.status = status;
        end.detail = detail;
    };

    if (const LinkStatus opened = link.open(); !opened.ok()) {
        fail(SendStatus::NoDevice, opened.message);
    } else {
        if (const LinkStatus s = link.setBitMode(kAllPinsOutput, kAsyncBitBang); !s.ok())
            fail(SendStatus::TransferFailed, withWords("setting bit-bang mode failed", s));
        end.family = link.chipFamily();
        const RateChoice choice = chooseBitBangRate(end.family, options.samplesPerSecond);
        end.rate = choice.rate;
        if (!choice.refusal.empty())
            fail(SendStatus::TransferFailed, choice.refusal);
        if (end.status == SendStatus::Sent) {
            if (const LinkStatus s = link.setBaudRate(choice.rate.baudSetting); !s.ok())
                fail(SendStatus::TransferFailed, withWords("setting the rate failed", s));
        }
        if (end.status == SendStatus::Sent) {
            if (end.family != ChipFamily::Unknown && !choice.rate.confirmed) {
                end.notes.push_back("the " + std::string(chipFamilyName(end.family)) +
                                    " is timed as an FT232R (16 samples per baud tick); its own "
                                    "bit-bang clock is not confirmed");
            }
            const double wanted = static_cast<double>(options.samplesPerSecond);
            if (std::abs(choice.rate.actualHz - wanted) > wanted * 1e-3) {
                end.notes.push_back("the chip's clock runs at " +
                                    std::to_string(choice.rate.actualHz) +
                                    " samples/s, the nearest to " +
                                    std::to_string(options.samplesPerSecond) + " it has");
            }
            StreamFeed feed(plan, options.samplesPerSecond, simulated, options.vcd, keepGoing,
                            onStep);
            const StreamEnd streamed =
                link.writeStream(feed, StreamPace{choice.rate.actualHz, 4096, 8});
            feed.finish();
            end.samples = streamed.taken;
            end.steps = feed.steps();
            end.latched = feed.latched();
            if (end.latched)
                session.noteLatched(end.latched->plan);
            end.stopped = streamed.stopped;
            end.underrun = streamed.underrun;
            end.underrunDetail = streamed.underrunDetail;
            if (!streamed.status.ok())
                fail(SendStatus::TransferFailed, withWords("write failed", streamed.status));
        }
        if (const LinkStatus closed = link.close(); !closed.ok())
            end.notes.push_back("closing the device failed: " + closed.message);
    }
    if (simulated != nullptr)
        simulated->logLatches(false);
    end.hostTime = std::chrono::steady_clock::now() - began;
    return end;
}

}  // namespace stepctl::session
