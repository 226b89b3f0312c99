// A sequence of settings, a sweep's points or a hop list's lines, with the time each step holds
// before the next one is due, repeated as many passes as asked. Pure: the steps and their
// deadlines, counted from the start so that a late step never delays the ones after it.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "SendRequest.h"

namespace stepctl::session {

struct Step {
    std::string text1;                  // the first level, as a user would type it
    std::string text2;                  // the second; empty: the target's
    std::chrono::nanoseconds dwell{0};  // how long this step holds before the next is due
    std::size_t line = 0;               // the hop list's line it came from; 0 for a sweep
};

struct StepPlan {
    SendRequest target;
    std::vector<Step> steps;
    long long passes = 1;     // 0: until stopped
    bool joinPasses = false;  // a later pass leaves out its first step, the last one's twin
};

inline constexpr long long kMaxPasses = 1'000'000;

// The steps of all passes together, or nothing when there is no end.
std::optional<std::size_t> totalSteps(const StepPlan& plan);

// The request of one step: the target with the step's levels.
SendRequest stepRequest(const StepPlan& plan, const Step& step);

// Walks a plan step by step, pass by pass, with each step's deadline from the start.
class StepCursor {
  public:
    explicit StepCursor(const StepPlan& plan);

    bool done() const;
    const Step& step() const { return plan_.steps[index_]; }
    std::size_t index() const { return index_; }    // into plan.steps
    long long pass() const { return pass_; }        // 1-based
    std::size_t number() const { return number_; }  // 1-based, across passes
    // When this step is due, from the start of the sequence.
    std::chrono::nanoseconds due() const { return due_; }
    // When the last step done ends: the sequence's length once done().
    std::chrono::nanoseconds end() const { return due_; }
    void advance();

  private:
    const StepPlan& plan_;
    std::optional<std::size_t> total_;
    std::size_t index_ = 0;
    long long pass_ = 1;
    std::size_t number_ = 1;
    std::chrono::nanoseconds due_{0};
};

}  // namespace stepctl::session
